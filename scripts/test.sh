#!/usr/bin/env bash
# Installs what is missing, builds the Windows and the Linux program and runs
# every test: unit and behaviour tests, the toolkit conformance suite on all
# three back ends (headless, Win32 under Wine, FLTK under Xvfb) and the
# end-to-end tests.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh

cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build build-win -j2
cmake -S . -B build -G Ninja -DKURVOMAT_WIN_BUILD_DIR="$root/build-win"
cmake --build build -j2

# Wine tests share one prefix; the tests run one after the other.
export KURVOMAT_WINEPREFIX="${KURVOMAT_WINEPREFIX:-$root/build-win/wineprefix}"
ctest --test-dir build --output-on-failure --timeout 600 "$@"
