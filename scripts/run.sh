#!/usr/bin/env bash
# Sets everything up (see setup.sh) and starts Infil.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# The program creates its turned captions through the registered Veer12
# library: register the one just built, for this user (the program falls back
# to the library beside it when this fails).
build/bin/veer12-register build/bin/libVeer12.so ||
  echo "run: registering build/bin/libVeer12.so failed; Infil uses the library beside it" >&2
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MSG'
Infil is a desktop program and this machine has no display (neither DISPLAY nor
WAYLAND_DISPLAY is set). Instead you can:
  - run it under a virtual X server:   xvfb-run -a build/bin/infil
  - replay a design without a window:  build/bin/infil --script tests/scenarios/<name>.json
MSG
  exit 1
fi
exec build/bin/infil "$@"
