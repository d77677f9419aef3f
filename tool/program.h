#pragma once

// One whole run of Kestrovane over the process's command-line text (program path first):
// prints the banner, then either the usage text or makes one enable-or-disable request of the
// fax library and says what it asked for. Returns the exit status.
int RunKestrovane(const char* commandLine);
