#!/usr/bin/env bash
# Builds the Debian package of ZAK Manager:
#   tools/package.sh [folder]     (default build-pkg)
# and prints the package's path on the last line. Install it with
#   sudo apt-get install ./build-pkg/zak-manager_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-pkg}

./tools/setup.sh >&2
# The hardening and optimisation flags of Debian's own package builds, all of them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAK_BUILD_TESTS=OFF "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >&2
cmake --build "$out" -j"$(nproc)" >&2
rm -f "$out"/zak-manager_*.deb
(cd "$out" && cpack -G DEB >&2)
ls "$PWD/$out"/zak-manager_*.deb
