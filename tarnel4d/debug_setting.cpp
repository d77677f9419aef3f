#include "tarnel4d/debug_setting.h"

#include <charconv>

namespace tarnel4d {
namespace {

constexpr std::string_view kHeader = "tarnel4d setting 1\n";
constexpr std::string_view kOff = "debug off\n";
constexpr std::string_view kOn = "debug on\n";
constexpr std::string_view kLog = "log ";
constexpr std::string_view kEnd = "end\n";

bool Consume(std::string_view& text, std::string_view expected) {
  if (text.substr(0, expected.size()) != expected) return false;
  text.remove_prefix(expected.size());
  return true;
}

}  // namespace

std::string EncodeSetting(const DebugSetting& setting) {
  std::string text(kHeader);
  if (setting.on) {
    // The path is counted, not terminated, so that any byte may stand in it.
    text.append(kOn).append(kLog).append(std::to_string(setting.logPath.size())).append(" ");
    text.append(setting.logPath).append("\n");
  } else {
    text.append(kOff);
  }
  return text.append(kEnd);
}

std::optional<DebugSetting> DecodeSetting(std::string_view text) {
  DebugSetting setting;
  if (!Consume(text, kHeader)) return std::nullopt;
  if (Consume(text, kOn)) {
    if (!Consume(text, kLog)) return std::nullopt;
    std::size_t length = 0;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), length);
    if (error != std::errc() || rest == text.data()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(rest - text.data()));
    if (!Consume(text, " ") || length == 0 || length > text.size()) return std::nullopt;
    setting.on = true;
    setting.logPath = std::string(text.substr(0, length));
    text.remove_prefix(length);
    if (!Consume(text, "\n")) return std::nullopt;
  } else if (!Consume(text, kOff)) {
    return std::nullopt;
  }
  if (text != kEnd) return std::nullopt;
  return setting;
}

}  // namespace tarnel4d
