#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need. Idempotent: only
# missing packages are installed. Works as root and through sudo.
#
#   setup.sh              everything: build, tests, end-to-end tests, fuzzing
#   setup.sh --package    only what scripts/package.sh needs to build the .deb
set -euo pipefail

# Building the program and packing it with cpack (dpkg-shlibdeps and file find its libraries).
package_build=(
	build-essential cmake pkg-config dpkg-dev file
	libx11-dev libcairo2-dev libfontconfig-dev libgmp-dev
	libatk1.0-dev libatk-bridge2.0-dev
	libwayland-dev wayland-protocols libxkbcommon-dev libdecor-0-dev
)

case "${1:-}" in
	--package) packages=("${package_build[@]}") ;;
	"")
		packages=(
			"${package_build[@]}" fonts-dejavu-core
			googletest libgtest-dev libgmock-dev libbenchmark-dev
			xvfb openbox xdotool x11-utils x11-xserver-utils imagemagick xauth xclip
			sway weston libdecor-0-plugin-1-cairo wtype wl-clipboard grim
			desktop-file-utils appstream lintian
			dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0
			clang libclang-rt-14-dev valgrind strace time
			python3-dbus python3-gi libglib2.0-bin systemd
			clang-format clang-tidy
		)
		;;
	*)
		echo "usage: $0 [--package]" >&2
		exit 2
		;;
esac

missing=()
for p in "${packages[@]}"; do
	if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
		missing+=("$p")
	fi
done

if [ ${#missing[@]} -eq 0 ]; then
	exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
	as_root=()
elif command -v sudo >/dev/null 2>&1; then
	as_root=(sudo)
else
	echo "setup: need root or sudo to install: ${missing[*]}" >&2
	exit 1
fi

echo "setup: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
