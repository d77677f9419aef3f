#!/usr/bin/env bash
# Builds and runs every test suite of the project; stops at the first that fails.
set -euo pipefail
cd "$(dirname "$0")"

cmake --workflow --preset default
