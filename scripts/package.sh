#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-pkg/ without tests or benchmarks, then
# cpack. Prints the path of the .deb and nothing else on standard output; the build talks on
# standard error.
#
#   bash scripts/package.sh              # build-pkg/kambolux_<version>_<arch>.deb
#   deb=$(KAMBO_PKG_BUILD_DIR=/tmp/pkg bash scripts/package.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --package >&2

dir=${KAMBO_PKG_BUILD_DIR:-build-pkg}
# The package takes the C++ runtime and GMP from the system, so no statically linked
# program needs building beside it.
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DKAMBO_STATIC_RUNTIME=OFF \
	-DKAMBO_BUILD_TESTS=OFF -DKAMBO_BUILD_BENCH=OFF -DKAMBO_SANITIZE=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)" >&2

# A package left from an earlier version must not be mistaken for this one.
rm -f "$dir"/kambolux_*.deb
(cd "$dir" && cpack -G DEB >&2)

deb=$(find "$dir" -maxdepth 1 -name 'kambolux_*.deb' -print -quit)
if [ -z "$deb" ]; then
	echo "package: cpack produced no .deb in $dir" >&2
	exit 1
fi
# The binary lands in the package only when the tree defines it; refuse an empty shell.
contents=$(dpkg-deb -c "$deb")
if ! grep -q '/usr/bin/kambolux$' <<<"$contents"; then
	echo "package: $deb holds no usr/bin/kambolux" >&2
	exit 1
fi
realpath "$deb"
