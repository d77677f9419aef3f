#pragma once

#include <string>

// What the tool needs of its platform; each platform's file says how.
namespace platform {

// The process's whole command-line text, program path first.
std::string ProcessCommandLine(int argc, char** argv);

// Clears the system's last error, so that a failure that sets none is not blamed on an old one.
void ClearLastError();

// Why the last failed system or fax-library call failed, as a sentence for the user.
std::string LastErrorReason();

}  // namespace platform
