#!/usr/bin/env bash
# Checks that every tracked C and C++ file is formatted as the .clang-format of its folder asks
# (the root's; sdk/ and views/ keep the SDK's and VSTGUI's style in their own). Made for Debian's
# clang-format 14: other versions may format some lines differently. To reformat:
#   git ls-files -z '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' | xargs -0 clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is missing: run scripts/install-deps.sh" >&2; exit 1; }
git ls-files -z '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' | xargs -0 clang-format --dry-run -Werror
echo "format check: $(git ls-files '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' | wc -l) files as their .clang-format asks"
