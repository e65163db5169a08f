#!/usr/bin/env bash
# Fails when a C++ source is not formatted with the project's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
find app serial plot info tests tools -name '*.cpp' -o -name '*.h' | sort |
  xargs clang-format --dry-run -Werror
