#!/usr/bin/env bash
# Builds the Debian package build-deb/infil_<version>_<arch>.deb: a Release
# build for /usr, its files staged by cmake --install and packed by CPack, the
# dependencies computed by dpkg-shlibdeps. Install it with
#   sudo apt-get install ./build-deb/infil_*.deb
# and remove it with
#   sudo apt-get remove infil
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --no-build
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DINFIL_BUILD_TESTS=OFF -DINFIL_WERROR=ON
cmake --build build-deb -j"$(nproc)"
rm -rf build-deb/infil_*.deb build-deb/_CPack_Packages
(cd build-deb && cpack -G DEB)
ls -1 "$PWD"/build-deb/infil_*.deb
