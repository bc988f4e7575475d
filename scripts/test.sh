#!/usr/bin/env bash
# Sets everything up (see setup.sh), builds and runs every test: once as the
# machine is, once more under the Czech locale, whose decimal comma must not
# change a single number the program shows or reads.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"
LC_ALL=cs_CZ.UTF-8 LANG=cs_CZ.UTF-8 ctest --test-dir build --output-on-failure -j"$(nproc)"
