#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnel4d {

// The debug setting that every process using the library follows.
struct DebugSetting {
  bool on = false;
  std::string logPath;  // absolute; only when on
};

// The settings file's text. It names its format and ends with a closing line, so that a file
// cut short or written by anything else is recognised as not a setting.
std::string EncodeSetting(const DebugSetting& setting);

// The setting in text, or nothing when text is not a whole, well-formed setting.
std::optional<DebugSetting> DecodeSetting(std::string_view text);

}  // namespace tarnel4d
