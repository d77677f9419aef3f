#!/usr/bin/env bash
# Builds and runs every test suite of the project; stops at the first that fails.
#   default      the native Linux build
#   windows-x86  the 32-bit Windows build (mingw-w64), its images checked and, where this
#                machine can run 32-bit Wine, its tests run under Wine
#   windows-x64  the same sources as a 64-bit Windows build, its tests run under wine64
#   asan         the native build and all its tests under ASan and UBSan
#   fuzz         the parser's fuzz target, about a minute in each of three locales
set -euo pipefail
cd "$(dirname "$0")"

for preset in default windows-x86 windows-x64 asan fuzz; do
  cmake --workflow --preset "$preset"
done

# Install and package the native and the 32-bit Windows build (dpkg -i needs root).
tests/packaging_test.sh build/default build/windows-x86
