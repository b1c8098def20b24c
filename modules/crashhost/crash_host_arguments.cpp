#include "crash_host_arguments.h"

#include <charconv>
#include <string_view>

namespace crashhost {
namespace {

std::optional<std::int32_t> Decimal(std::string_view text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::uint64_t> Address(std::string_view text) {
  if (text.size() < 3 || text.substr(0, 2) != "0x") return std::nullopt;
  text.remove_prefix(2);
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<CrashHostRequest> ParseCrashHostArguments(int argc, const char* const* argv) {
  if (argc != kCrashHostArgumentCount || argv == nullptr) return std::nullopt;
  const auto processId = Decimal(argv[kCrashHostProcessId]);
  const auto threadId = Decimal(argv[kCrashHostThreadId]);
  const auto signal = Decimal(argv[kCrashHostSignal]);
  const auto signalCode = Decimal(argv[kCrashHostSignalCode]);
  const auto context = Address(argv[kCrashHostContext]);
  const auto faultAddress = Address(argv[kCrashHostFaultAddress]);
  const auto signalInfo = Address(argv[kCrashHostSignalInfo]);
  const auto machineContext = Address(argv[kCrashHostMachineContext]);
  const std::string_view module = argv[kCrashHostModule];
  if (!processId || *processId <= 0 || !threadId || !signal || *signal <= 0 || !signalCode ||
      !context || !faultAddress || !signalInfo || !machineContext || module.empty()) {
    return std::nullopt;
  }

  CrashHostRequest request;
  request.modulePath = module;
  request.context = *context;
  CrashExceptionInformation& information = request.information;
  information.size = sizeof(CrashExceptionInformation);
  information.processId = *processId;
  information.threadId = *threadId;
  information.signal = *signal;
  information.signalCode = *signalCode;
  information.faultAddress = *faultAddress;
  information.signalInfo = *signalInfo;
  information.machineContext = *machineContext;
  return request;
}

}  // namespace crashhost
