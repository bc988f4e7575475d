#!/usr/bin/env bash
# Sets up a Debian 12 machine for Infil and builds it: installs the packages the
# build and the tests need (only those missing), makes the Czech locale the tests
# also run under, configures and builds into ./build.
#
#   scripts/setup.sh            packages + build
#   scripts/setup.sh --no-build packages only
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  g++ make cmake pkg-config          # compiler and build
  qt6-base-dev                       # Widgets, PrintSupport, Test
  qt6-tools-dev                      # Qt Designer plugin interface (Veer in the widget box)
  libqt6opengl6-dev                  # ... which Qt Designer's development files need
  qt6-translations-l10n              # Qt's own texts (dialog buttons, print preview) in Czech
  mdbtools-dev                       # reading the rain database (Jet 4.0)
  nlohmann-json3-dev                 # scenario files and their output
  libgtest-dev                       # unit tests
  libbenchmark-dev                   # speed benchmarks (scripts/bench.sh)
  xvfb xauth                         # a real X server for windowed checks
  locales                            # the tests also run under cs_CZ.UTF-8
  fonts-dejavu-core                  # a font for headless rendering
  desktop-file-utils appstream       # the tests validate the menu entry and the AppStream data
  dpkg-dev file                      # scripts/package.sh: dependencies of the Debian package
  clang libclang-rt-14-dev           # the fuzz targets (libFuzzer) in scripts/test.sh
)

missing=()
for p in "${packages[@]}"; do
  [[ "$p" == \#* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"
  elif command -v sudo >/dev/null; then sudo "$@"
  else echo "setup: root rights are needed to install: ${missing[*]}" >&2; exit 1
  fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^cs_CZ\.utf-\?8$'; then
  echo "setup: generating the cs_CZ.UTF-8 locale"
  as_root sh -c "sed -i 's/^# *cs_CZ.UTF-8 UTF-8/cs_CZ.UTF-8 UTF-8/' /etc/locale.gen && \
    (grep -q '^cs_CZ.UTF-8 UTF-8' /etc/locale.gen || echo 'cs_CZ.UTF-8 UTF-8' >> /etc/locale.gen) && locale-gen"
fi

[ "${1:-}" = "--no-build" ] && exit 0

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DINFIL_WERROR=ON
cmake --build build -j"$(nproc)"
