#include <clocale>
#include <string>

#include "tool/platform.h"
#include "tool/program.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // the user's locale chooses how option names are read and folded
  const std::string commandLine = platform::ProcessCommandLine(argc, argv);
  return RunKestrovane(commandLine.c_str());
}
