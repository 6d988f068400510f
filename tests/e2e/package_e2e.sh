#!/usr/bin/env bash
# The Debian package as a user gets it: its metadata validates, lintian finds nothing to
# complain of, it declares what the program needs, the program takes GMP and the C++ runtime
# from the system, and the program installed from it starts on a desktop, quits from its menu
# and saves its settings.
#
#   package_e2e.sh --build-dir DIR    packs the configured build tree DIR with cpack
#   package_e2e.sh FILE.deb           checks a package built elsewhere
#
# Exits 77 (skipped) when a tool it needs, Xvfb among them, is not installed.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=lib.sh
. "$here/lib.sh"

readonly app_id=com.qxt.KamboLux
readonly title="ZQ Kambo-Lux"
readonly icon_sizes=(16 32 48 64 128)
# Linked libraries come from the binary itself (checked below); these are only found at run time.
# The screen-reader and Wayland modules' libraries come with them (the program links none).
readonly runtime_depends=(fonts-dejavu-core libatk1.0-0 libatk-bridge2.0-0 libwayland-client0
	libwayland-cursor0 libxkbcommon0)
# Wanted, not needed: without them a link click falls back to gio or says why it cannot open.
readonly runtime_recommends=(xdg-utils)
# Debian's security updates of these must reach the installed program.
readonly system_libraries=(libstdc++.so.6 libgmp.so.10)

build_dir=
deb=
case "${1:-}" in
	--build-dir) build_dir=${2:?--build-dir needs a directory} ;;
	*.deb) deb=$1 ;;
	*) e2e_fail "usage: $0 --build-dir DIR | FILE.deb" ;;
esac

e2e_require desktop-file-validate appstreamcli dpkg-deb dpkg-query identify lintian

# Validators print their findings and may still succeed. The desktop entry must draw no
# remark at all (a hint about several main categories means the program shows up twice in
# menus); of appstreamcli's only pedantic notes pass.
validate_metadata()
{
	local out
	out=$(desktop-file-validate "$source/packaging/$app_id.desktop" 2>&1) \
		|| e2e_fail "desktop-file-validate: $out"
	[ -z "$out" ] || e2e_fail "desktop-file-validate: $out"

	out=$(appstreamcli validate --no-net "$source/packaging/$app_id.metainfo.xml" 2>&1) \
		|| e2e_fail "appstreamcli validate: $out"
	if grep -q '^[EWI]: ' <<<"$out"; then
		e2e_fail "appstreamcli validate: $out"
	fi
	e2e_log "desktop entry and metainfo validate"
}

build_package()
{
	e2e_require cpack
	[ -f "$build_dir/CPackConfig.cmake" ] || e2e_fail "$build_dir has no CPackConfig.cmake"
	local out
	out=$(cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$E2E_TMP/cpack" 2>&1) \
		|| e2e_fail "cpack: $out"
	deb=$(find "$E2E_TMP/cpack" -maxdepth 1 -name 'kambolux_*.deb' -print -quit)
	[ -n "$deb" ] || e2e_fail "cpack made no package: $out"
}

# The value of one control field, as dpkg-deb shows it.
control_field() { dpkg-deb -f "$deb" "$1"; }

# The package names of a Depends line, without versions and alternatives' bars.
depends_names() { tr ',|' '\n' <<<"$1" | sed 's/([^)]*)//g; s/[[:space:]]//g; /^$/d'; }

check_control()
{
	local depends names package
	[ "$(control_field Package)" = kambolux ] || e2e_fail "package name: $(control_field Package)"
	local version
	version=$(sed -n 's/^project(kambolux VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
	[ "$(control_field Version)" = "$version" ] \
		|| e2e_fail "package version $(control_field Version), project $version"
	[ -n "$(control_field Maintainer)" ] || e2e_fail "no Maintainer"
	case "$(control_field Section)" in
		utils | misc) ;;
		*) e2e_fail "section: $(control_field Section)" ;;
	esac

	depends=$(control_field Depends)
	names=$(depends_names "$depends")
	for package in "${runtime_depends[@]}"; do
		grep -qx "$package" <<<"$names" || e2e_fail "Depends lacks $package: $depends"
	done
	for package in "${runtime_recommends[@]}"; do
		grep -qx "$package" <<<"$names" && e2e_fail "Depends names $package: $depends"
		grep -qx "$package" <<<"$(depends_names "$(control_field Recommends)")" \
			|| e2e_fail "Recommends lacks $package: $(control_field Recommends)"
	done
	e2e_log "Depends: $depends"
}

# Lintian as a Debian maintainer runs it: any error or warning fails; notes pass.
run_lintian()
{
	local out
	out=$(lintian --fail-on error,warning "$deb" 2>&1) || e2e_fail "lintian: $out"
	if grep -Eq '^[EW]: ' <<<"$out"; then
		e2e_fail "lintian: $out"
	fi
	e2e_log "lintian: no errors or warnings"
}

# Every library an installed binary or module loads must belong to a package the .deb
# depends on. Sets libraries (ldd) and dynamic (readelf -d).
check_libraries_owned()
{
	local binary=$1 names soname path owner
	names=$(depends_names "$(control_field Depends)")
	command -v ldd >/dev/null || e2e_skip "ldd is not installed"
	libraries=$(ldd "$binary") || e2e_fail "ldd failed on $binary"
	dynamic=$(readelf -d "$binary") || e2e_fail "readelf failed on $binary"
	grep -q 'not found' <<<"$libraries" && e2e_fail "unresolved libraries: $libraries"
	while read -r soname; do
		# ldd names the dynamic loader by its path alone.
		path=$(awk -v so="$soname" '$1 == so { print $3 } $1 ~ ("/" so "$") { print $1 }' \
			<<<"$libraries")
		[ -n "$path" ] || e2e_fail "$soname not resolved"
		owner=$(dpkg-query -S "$(readlink -f "$path")" 2>/dev/null \
			|| dpkg-query -S "$path" 2>/dev/null)
		owner=${owner%%:*}
		[ -n "$owner" ] || e2e_fail "no package owns $path"
		grep -qx "$owner" <<<"$names" || e2e_fail "$soname comes from $owner, not in Depends"
	done < <(sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' <<<"$dynamic")
}

check_linked_libraries()
{
	local binary=$1 libraries dynamic
	check_libraries_owned "$binary"
	grep -q 'libX11' <<<"$dynamic" \
		|| e2e_fail "the binary does not link Xlib: it could open no window"
	local library
	for library in "${system_libraries[@]}"; do
		grep -q "(NEEDED).*\[$library\]" <<<"$dynamic" \
			|| e2e_fail "the installed program does not take $library from the system"
	done
	# Windows through Xlib alone: no sound, Wayland or SDL library comes along.
	local unwanted
	unwanted=$(grep -Eo 'lib(SDL|asound|pulse|wayland|decor|drm|gbm|dbus|systemd|sndfile)[^ ]*' \
		<<<"$libraries" | sort -u | tr '\n' ' ')
	[ -z "$unwanted" ] || e2e_fail "the installed program loads $unwanted"
}

check_files()
{
	local root=$1 size got
	[ -x "$root/usr/bin/kambolux" ] || e2e_fail "no executable usr/bin/kambolux"
	# Where the program looks for its screen-reader module, beside its own libraries.
	compgen -G "$root/usr/lib/*/kambolux/kambolux-atk.so" >/dev/null \
		|| [ -f "$root/usr/lib/kambolux/kambolux-atk.so" ] \
		|| e2e_fail "the screen-reader module is not installed"
	readelf -d "$root/usr/bin/kambolux" | grep -Eq 'NEEDED.*\[lib(atk|glib|gobject)' \
		&& e2e_fail "the program links an accessibility library itself"
	[ -f "$root/usr/share/applications/$app_id.desktop" ] || e2e_fail "desktop entry missing"
	[ -f "$root/usr/share/metainfo/$app_id.metainfo.xml" ] || e2e_fail "metainfo missing"
	for size in "${icon_sizes[@]}"; do
		local icon="$root/usr/share/icons/hicolor/${size}x$size/apps/kambolux.png"
		[ -f "$icon" ] || e2e_fail "icon ${size}x$size missing"
		got=$(identify -format '%wx%h' "$icon" 2>/dev/null)
		[ "$got" = "${size}x$size" ] || e2e_fail "icon ${size}x$size is $got"
		# The tile's corners are cut round: a panel's colour shows through them.
		got=$(identify -format '%[pixel:p{0,0}]' "$icon" 2>/dev/null)
		[[ "$got" == *"(0,0,0,0)" ]] || e2e_fail "icon ${size}x$size has no transparent corner: $got"
	done
	local svg="$root/usr/share/icons/hicolor/scalable/apps/kambolux.svg"
	grep -q '<svg' "$svg" 2>/dev/null || e2e_fail "no scalable icon"
	grep -q '<image' "$svg" && e2e_fail "the scalable icon holds a bitmap"
	local man="$root/usr/share/man/man1/kambolux.1.gz" warnings
	gzip -t "$man" 2>/dev/null || e2e_fail "manual page missing or not gzip"
	if command -v groff >/dev/null 2>&1; then
		warnings=$(gzip -dc "$man" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
		[ -z "$warnings" ] || e2e_fail "manual page: $warnings"
	fi
	[ -f "$root/usr/share/doc/kambolux/README.md" ] || e2e_fail "README missing"
	grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
		"$root/usr/share/doc/kambolux/copyright" 2>/dev/null \
		|| e2e_fail "copyright missing or not machine-readable"
	gzip -dc "$root/usr/share/doc/kambolux/changelog.gz" 2>/dev/null \
		| head -1 | grep -q "^kambolux ($(control_field Version))" \
		|| e2e_fail "changelog missing or not of this version"

	# The installed entry must name what is installed beside it.
	local entry="$root/usr/share/applications/$app_id.desktop"
	grep -qx 'Exec=kambolux' "$entry" || e2e_fail "desktop entry runs something else"
	grep -qx 'Icon=kambolux' "$entry" || e2e_fail "desktop entry shows another icon"
	grep -qx 'StartupNotify=true' "$entry" || e2e_fail "desktop entry without StartupNotify"
	grep -q '^Comment\[de\]=' "$entry" || e2e_fail "desktop entry without a German comment"
	grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
		"$root/usr/share/metainfo/$app_id.metainfo.xml" || e2e_fail "metainfo launches another entry"
	# Software centres read the installed tree as a whole: metainfo, entry and icons together.
	local out
	out=$(appstreamcli validate-tree --no-net "$root" 2>&1) || e2e_fail "validate-tree: $out"
	grep -q '^ *[EWI]: ' <<<"$out" && e2e_fail "validate-tree: $out"
	e2e_log "installed files complete"
}

# Starts the installed program, right-clicks the background and chooses "beenden", the last
# entry of the context menu. Sets pid.
run_and_quit()
{
	local root=$1 config=$2 win class menu
	mkdir -p "$config" "$E2E_TMP/home"
	# Traced for the files it opens: with the installation's record, fontconfig's
	# configuration is never read.
	# LeakSanitizer cannot run under ptrace; a sanitized build checks its leaks elsewhere.
	local trace=() asan=${ASAN_OPTIONS:-}
	if command -v strace >/dev/null; then
		trace=(strace -f -qq -e trace=open,openat -o "$E2E_TMP/opened")
		asan="${asan:+$asan:}detect_leaks=0"
	fi
	HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$config" ASAN_OPTIONS="$asan" \
		"${trace[@]}" "$root/usr/bin/kambolux" >"$E2E_TMP/app.log" 2>&1 &
	pid=$!
	e2e_track_pid "$pid"

	win=$(e2e_wait_window "$title" 15) \
		|| e2e_fail "no window titled '$title': $(cat "$E2E_TMP/app.log")"
	e2e_log "window $win"

	# Launchers tie windows to the desktop entry by this class.
	class=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/$app_id.desktop")
	local wm_class
	wm_class=$(xprop -id "$win" WM_CLASS)
	grep -q "\"$class\"" <<<"$wm_class" \
		|| e2e_fail "$wm_class does not match StartupWMClass $class"

	# (190, 8) lies above the ISO code, on the view's own background.
	e2e_click "$win" 190 8 3
	menu=$(e2e_wait_window Menu 5) \
		|| e2e_fail "no context menu after a right click: $(cat "$E2E_TMP/app.log")"
	e2e_geometry "$menu" || e2e_fail "menu $menu vanished"
	# "beenden" is the last entry: a point in its row, left of the shortcut, quits.
	e2e_click "$menu" 30 $((E2E_H - 12))
}

# Waits up to $2 seconds for the process to end; sets status to its exit status.
wait_exit()
{
	e2e_wait_for "$2" e2e_exited "$1" || return 1
	wait "$1"
	status=$?
}

# The installation resolves the fonts once for every user: the maintainer scripts run the
# installed tool, and the program's first start then takes its fonts from that record.
check_font_record()
{
	local root=$1 tool=/usr/libexec/kambolux/kambolux-fonts control="$E2E_TMP/control"
	[ -x "$root$tool" ] || e2e_fail "no executable $tool"
	dpkg-deb -e "$deb" "$control" || e2e_fail "dpkg-deb -e failed"
	grep -q "^[[:space:]]*$tool /var/cache/kambolux/fonts" "$control/postinst" 2>/dev/null \
		|| e2e_fail "postinst does not write the font record"
	grep -q "/var/cache/kambolux" "$control/postrm" 2>/dev/null \
		|| e2e_fail "postrm leaves the font record behind"
	grep -qx "interest-noawait /usr/share/fonts" "$control/triggers" 2>/dev/null \
		|| e2e_fail "no trigger on new fonts"
	HOME=/nonexistent "$root$tool" "$E2E_TMP/record/fonts" || e2e_fail "$tool failed"
	[ "$(stat -c %a "$E2E_TMP/record/fonts")" = 644 ] || e2e_fail "the record is not readable by all"
	export KAMBOLUX_FONT_RECORD="$E2E_TMP/record/fonts"
	e2e_log "font record written by $tool"
}

check_settings()
{
	local file="$1/KamboLux_prefs" magic
	[ -f "$file" ] || e2e_fail "no settings file $file"
	magic=$(od -An -tx1 -N4 "$file" | tr -d ' \n')
	[ "$magic" = 31424f46 ] || e2e_fail "settings file starts with $magic, not 31424f46"
	e2e_log "settings saved ($(stat -c %s "$file") bytes)"
}

validate_metadata
[ -n "$deb" ] || build_package
[ -f "$deb" ] || e2e_fail "no such package: $deb"
e2e_log "package $deb"
check_control
run_lintian

root="$E2E_TMP/root"
dpkg-deb -x "$deb" "$root" || e2e_fail "dpkg-deb -x failed"
check_files "$root"
check_linked_libraries "$root/usr/bin/kambolux"
# The Wayland backend's module, opened in a Wayland session: its libraries come with the package.
wayland_module=$(compgen -G "$root/usr/lib/*/kambolux/kambolux-wayland.so" \
	|| compgen -G "$root/usr/lib/kambolux/kambolux-wayland.so") \
	|| e2e_fail "the Wayland module is not installed"
check_libraries_owned "$wayland_module"
e2e_log "the Wayland module's libraries are in Depends"
check_font_record "$root"

e2e_start_display
pid=
status=
run_and_quit "$root" "$E2E_TMP/config"
wait_exit "$pid" 10 || e2e_fail "still running 10 s after choosing beenden"
[ "$status" -eq 0 ] || e2e_fail "exit status $status: $(cat "$E2E_TMP/app.log")"
check_settings "$E2E_TMP/config"
# Served by the installation's record, the first start resolved nothing of its own.
[ -e "${XDG_CACHE_HOME:-$E2E_TMP/home/.cache}/kambolux/fonts" ] \
	&& e2e_fail "the first start resolved its fonts itself despite the installation's record"
if [ -f "$E2E_TMP/opened" ]; then
	grep -q '"/etc/fonts/' "$E2E_TMP/opened" \
		&& e2e_fail "the first start read fontconfig's configuration despite the installation's" \
			"record: $(grep -m 3 '"/etc/fonts/' "$E2E_TMP/opened")"
	e2e_log "fontconfig's configuration was never read"
else
	e2e_log "strace is not installed: whether fontconfig's configuration was read is not checked"
fi
e2e_log "PASS"
