#!/usr/bin/env bash
# Shows how the program as built changes the expected output of each scenario
# (or of those named), without writing anything: review before updating.
set -euo pipefail
cd "$(dirname "$0")/.."
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for f in tests/scenarios/*.expected.json; do names+=("$(basename "$f" .expected.json)"); done
fi
out=$(mktemp -d)
for name in "${names[@]}"; do
  cp "tests/scenarios/$name.expected.json" "$out/$name.json"
  cmake -DINFIL="$PWD/build/bin/infil" -DSCENARIO="$PWD/tests/scenarios/$name.json" \
        -DEXPECTED="$out/$name.json" -DWORK="/tmp/infil-scenario-$name" \
        -DWEBS="$PWD/build/bin/Webs" -DFIXTURES="$PWD/../shared/fixtures" -DUPDATE=ON \
        -P tests/scenarios/replay.cmake >/dev/null
  diff -u "tests/scenarios/$name.expected.json" "$out/$name.json" --label "$name (expected)" --label "$name (now)" || true
done
rm -rf "$out"
