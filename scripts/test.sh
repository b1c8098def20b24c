#!/usr/bin/env bash
# Builds and runs every test: the normal build, the AddressSanitizer and
# UndefinedBehaviorSanitizer build, the threaded tests under ThreadSanitizer,
# the Windows build and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/bootstrap.sh
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-2}

failed=()
step() {
  local name=$1
  shift
  echo "=== $name"
  if ! "$@"; then
    failed+=("$name")
  fi
}

build_and_test() {
  local preset=$1
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" &&
    ctest --preset "$preset"
}

# Only the tests that run threads: a whole TSan build would double the time.
thread_tests() {
  local tests=(fe_localizer_test recursive_mutex_test registry_posix_test
    prefetch_worker_test)
  cmake --preset tsan >/dev/null && cmake --build --preset tsan --target "${tests[@]}" &&
    ctest --preset tsan -R "^($(IFS='|'; echo "${tests[*]}"))\$"
}

step "tests (default build)" build_and_test default
step "tests (ASan+UBSan build)" build_and_test asan
step "threaded tests (TSan build)" thread_tests
step "Windows build and Wine suite" bash scripts/windows-test.sh
step "fuzz targets" bash scripts/run-fuzzers.sh "${FUZZ_SECONDS:-30}"

if [[ ${#failed[@]} -ne 0 ]]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All test steps passed."
