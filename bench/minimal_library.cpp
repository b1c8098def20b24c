extern "C" __attribute__((visibility("default"))) int Touch() { return 0; }
