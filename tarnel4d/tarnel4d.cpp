// The fax library's debug switch: application handles, the debug setting that every process
// using the library follows, and the debug log those processes write.
#include <cstdio>
#include <mutex>
#include <new>
#include <set>
#include <string>

#include "tarnel4d/debug_setting.h"
#include "tarnel4d/platform.h"
#include "tool/fax_library.h"

namespace tarnel4d {
namespace {

constexpr char kSettingFile[] = "setting";
constexpr char kDefaultLog[] = "debug.log";

// Control characters in a logged text are escaped, so that a line stays one line.
std::string Printable(const std::string& text) {
  std::string printable;
  for (unsigned char byte : text) {
    if (byte < 0x20 || byte == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      printable += escaped;
    } else {
      printable += static_cast<char>(byte);
    }
  }
  return printable;
}

std::string AppText(FaxAppHandle app) { return "app " + std::to_string(app); }

std::string FailedText() { return "failed: " + platform::DescribeError(platform::CurrentError()); }

DebugSetting ReadPersistedSetting() {
  std::string directory;
  std::string text;
  if (!platform::FindSettingsDirectory(directory) ||
      !platform::ReadSmallFile(platform::JoinPath(directory, kSettingFile), text)) {
    return DebugSetting{};
  }
  return DecodeSetting(text).value_or(DebugSetting{});
}

bool PersistSetting(const DebugSetting& setting) {
  std::string directory;
  return platform::FindSettingsDirectory(directory) && platform::CreateDirectoryPath(directory) &&
         platform::ReplaceFileDurably(directory, kSettingFile, EncodeSetting(setting));
}

bool DefaultLogPath(std::string& path) {
  std::string directory;
  if (!platform::FindSettingsDirectory(directory) || !platform::CreateDirectoryPath(directory)) {
    return false;
  }
  path = platform::JoinPath(directory, kDefaultLog);
  return true;
}

class Library {
 public:
  FaxAppHandle Register(uint32_t reserved1, uint32_t reserved2);
  bool EnableDebug(FaxAppHandle app, int32_t enable, const char* logPath);
  bool Unregister(FaxAppHandle app);

 private:
  bool SwitchOn(const std::string& call, const char* logPath);
  bool SwitchOff(const std::string& call);
  // Logs a call that failed to the log in use, keeping the failure's reason for the caller.
  void LogFailure(const std::string& call);
  static bool AppendLine(platform::LogFile& log, const std::string& call,
                         const std::string& result);
  void LogToCurrent(const std::string& call, const std::string& result);

  std::mutex mutex_;
  std::set<FaxAppHandle> apps_;
  FaxAppHandle lastApp_ = 0;
  DebugSetting setting_;  // as this process last read or wrote it
};

bool Library::AppendLine(platform::LogFile& log, const std::string& call,
                         const std::string& result) {
  return log.Append(platform::UtcTimestamp() + " [" + std::to_string(platform::ProcessId()) + "] " +
                    Printable(call) + " " + Printable(result) + "\n");
}

void Library::LogToCurrent(const std::string& call, const std::string& result) {
  if (!setting_.on) return;
  platform::LogFile log;
  if (log.Open(setting_.logPath)) AppendLine(log, call, result);
}

void Library::LogFailure(const std::string& call) {
  const platform::ErrorCode reason = platform::CurrentError();
  LogToCurrent(call, FailedText());
  platform::SetCurrentError(reason);
}

FaxAppHandle Library::Register(uint32_t reserved1, uint32_t reserved2) {
  std::lock_guard<std::mutex> lock(mutex_);
  setting_ = ReadPersistedSetting();
  const std::string call =
      "FaxRegisterApp(" + std::to_string(reserved1) + ", " + std::to_string(reserved2) + ")";
  if (reserved1 != 0 || reserved2 != 0) {
    platform::SetCurrentError(platform::InvalidArgumentError());
    LogFailure(call);
    return 0;
  }
  do {
    ++lastApp_;
  } while (lastApp_ == 0 || apps_.count(lastApp_) != 0);
  apps_.insert(lastApp_);
  LogToCurrent(call, AppText(lastApp_));
  return lastApp_;
}

bool Library::EnableDebug(FaxAppHandle app, int32_t enable, const char* logPath) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string call = "FaxEnableDebug(" + AppText(app) + (enable ? ", on" : ", off");
  if (enable) call += logPath ? ", " + std::string(logPath) : std::string(", null");
  call += ")";
  if (apps_.count(app) == 0) {
    platform::SetCurrentError(platform::InvalidArgumentError());
    LogFailure(call);
    return false;
  }
  return enable ? SwitchOn(call, logPath) : SwitchOff(call);
}

// The path is made absolute here, since the processes that write the log later may run
// elsewhere. The log must open before the setting names it, and a log this call created is
// removed again if the setting cannot be kept.
bool Library::SwitchOn(const std::string& call, const char* logPath) {
  DebugSetting wanted{true, ""};
  const bool defaultLog = logPath == nullptr || logPath[0] == '\0';
  platform::LogFile log;
  if (!(defaultLog ? DefaultLogPath(wanted.logPath)
                   : platform::MakeAbsolute(logPath, wanted.logPath)) ||
      !log.Open(wanted.logPath)) {
    LogFailure(call);
    return false;
  }
  if (!PersistSetting(wanted)) {
    log.DiscardIfCreated();
    LogFailure(call);
    return false;
  }
  // A log that cannot take even this line (a full disk) is not switched to.
  if (!AppendLine(log, call, defaultLog ? "ok, logging to " + wanted.logPath : std::string("ok"))) {
    const platform::ErrorCode reason = platform::CurrentError();
    PersistSetting(setting_);
    log.DiscardIfCreated();
    platform::SetCurrentError(reason);
    LogFailure(call);
    return false;
  }
  setting_ = wanted;
  return true;
}

bool Library::SwitchOff(const std::string& call) {
  if (!PersistSetting(DebugSetting{})) {
    LogFailure(call);
    return false;
  }
  LogToCurrent(call, "ok, debug logging is off");
  setting_ = DebugSetting{};
  return true;
}

bool Library::Unregister(FaxAppHandle app) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string call = "FaxUnregisterApp(" + AppText(app) + ")";
  if (apps_.erase(app) == 0) {
    platform::SetCurrentError(platform::InvalidArgumentError());
    LogFailure(call);
    return false;
  }
  LogToCurrent(call, "ok");
  return true;
}

// Never destroyed: a client may still call in while the process exits.
Library& TheLibrary() {
  static Library* library = new Library;
  return *library;
}

// No exception may cross into a C caller: running out of memory is a failure like any other.
template <typename Result, typename Call>
Result Guarded(Result onFailure, Call call) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    platform::SetCurrentError(platform::OutOfMemoryError());
  } catch (...) {
    platform::SetCurrentError(platform::InvalidArgumentError());
  }
  return onFailure;
}

}  // namespace
}  // namespace tarnel4d

extern "C" {

FaxAppHandle FAXAPI FaxRegisterApp(uint32_t reserved1, uint32_t reserved2) {
  return tarnel4d::Guarded<FaxAppHandle>(
      0, [&] { return tarnel4d::TheLibrary().Register(reserved1, reserved2); });
}

int32_t FAXAPI FaxEnableDebug(FaxAppHandle app, int32_t enable, const char* logPath) {
  return tarnel4d::Guarded<int32_t>(
      0, [&] { return tarnel4d::TheLibrary().EnableDebug(app, enable, logPath) ? 1 : 0; });
}

int32_t FAXAPI FaxUnregisterApp(FaxAppHandle app) {
  return tarnel4d::Guarded<int32_t>(0,
                                    [&] { return tarnel4d::TheLibrary().Unregister(app) ? 1 : 0; });
}

}  // extern "C"
