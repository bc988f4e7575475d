#!/usr/bin/env bash
# Writes the expected output of the named scenarios (tests/scenarios/NAME.json) from
# the program as built. Review every changed number before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
for name in "$@"; do
  cmake -DINFIL="$PWD/build/bin/infil" -DSCENARIO="$PWD/tests/scenarios/$name.json" \
        -DEXPECTED="$PWD/tests/scenarios/$name.expected.json" -DWORK="/tmp/infil-scenario-$name" \
        -DWEBS="$PWD/build/bin/Webs" -DFIXTURES="$PWD/../shared/fixtures" -DUPDATE=ON \
        -P tests/scenarios/replay.cmake
done
