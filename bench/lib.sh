# shellcheck shell=bash disable=SC2034  # BENCH_* are results for the sourcing script
# Shared helpers for the timing scripts: one private X server with openbox, a small X client
# that times a program's start and its key latency, and readers for /proc. Source this file;
# it sets a cleanup trap on exit.
#
#   bench_start_display       Xvfb (-noreset, black root) plus openbox (none when
#                             BENCH_NO_WM=1); exits 77 without them
#   bench_start_session_bus   a private D-Bus session bus, when dbus-daemon is installed
#   bench_build_probe         compiles the X timing client into $BENCH_PROBE
#   bench_launch LOG CMD...   starts CMD with a fresh HOME and XDG dirs; sets BENCH_PID,
#                             BENCH_MAP_MS (start to mapped window), BENCH_PAINT_MS (start to
#                             first painted frame, when BENCH_PAINT=1), BENCH_WIN, and
#                             BENCH_CPU_MS (CPU used until then: unlike the times, it
#                             hardly depends on how busy the machine is)
#   bench_stop PID [KEYS]     sends KEYS (default ctrl+q) to the window, then ends PID
#   bench_rss_kb PID          VmRSS in kB;  bench_cpu_ticks PID  utime+stime in clock ticks
#   bench_cpu_ns PID          CPU time of the live threads in ns (the scheduler's exact count)
#   bench_median              the median of the numbers on standard input
#   bench_machine             a few lines on this machine, as Markdown
#   bench_program             path of the built kambolux (BENCH_BUILD overrides the build dir)
#
# BENCH_HOMES=DIR puts the fresh homes under DIR instead of the temporary directory.
# BENCH_SAME_HOME=1 gives every start the same home instead: from the second start on, the
# program finds the settings an earlier one saved, as a returning user's start does.

BENCH_SKIP=77
BENCH_PIDS=()
BENCH_TMP=$(mktemp -d "${TMPDIR:-/tmp}/kambo-bench.XXXXXX")
BENCH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BENCH_PROBE="$BENCH_TMP/xprobe"
# Where the fresh homes go: BENCH_HOMES=/dev/shm puts them (and so the settings file) on a
# tmpfs, where a flush to the disk costs nothing.
BENCH_HOME_ROOT=$BENCH_TMP
if [ -n "${BENCH_HOMES:-}" ]; then
	BENCH_HOME_ROOT=$(mktemp -d "$BENCH_HOMES/kambo-homes.XXXXXX")
fi

bench_log() { printf '[bench] %s\n' "$*" >&2; }

bench_skip()
{
	bench_log "SKIP: $*"
	exit "$BENCH_SKIP"
}

bench_fail()
{
	bench_log "FAIL: $*"
	exit 1
}

# Ends what was started, last first: programs before the window manager, both before the
# X server they talk to. Runs under the callers' set -e, so nothing here may fail.
bench_cleanup()
{
	local i pid
	for ((i = ${#BENCH_PIDS[@]} - 1; i >= 0; i--)); do
		pid=${BENCH_PIDS[i]}
		kill "$pid" 2>/dev/null || continue
		for _ in 1 2 3 4 5 6 7 8 9 10; do
			bench_gone "$pid" && break
			sleep 0.1
		done
		kill -9 "$pid" 2>/dev/null || true
	done
	rm -rf "$BENCH_TMP" "$BENCH_HOME_ROOT"
}
trap bench_cleanup EXIT

bench_track_pid() { BENCH_PIDS+=("$1"); }

bench_wait_for()
{
	local timeout=$1
	shift
	local deadline=$((SECONDS + timeout))
	until "$@" >/dev/null 2>&1; do
		[ "$SECONDS" -ge "$deadline" ] && return 1
		sleep 0.05
	done
}

bench_program()
{
	local build=${BENCH_BUILD:-$BENCH_ROOT/build-bench}
	[ -x "$build/app/kambolux" ] || bench_fail "no $build/app/kambolux; build it first:
  cmake -S $BENCH_ROOT -B $build -DCMAKE_BUILD_TYPE=Release && cmake --build $build -j2"
	echo "$build/app/kambolux"
}

# The record of resolved fonts the package writes at install (postinst), for this tree's
# program: a first start as an installed program makes it. BENCH_NO_RECORD=1 leaves it out,
# as after a plain `cmake --install`.
bench_font_record()
{
	[ -n "${BENCH_NO_RECORD:-}" ] && return 0
	local tool
	tool="$(dirname "$1")/../platform/kambolux-fonts"
	[ -x "$tool" ] || bench_fail "no $tool; build the kambolux_fonts target first"
	HOME=/nonexistent "$tool" "$BENCH_TMP/record/fonts" || bench_fail "$tool failed"
	export KAMBOLUX_FONT_RECORD="$BENCH_TMP/record/fonts"
}

bench_start_display()
{
	local tool
	for tool in Xvfb openbox xdotool xprop cc; do
		command -v "$tool" >/dev/null 2>&1 || bench_skip "$tool is not installed"
	done
	local number="$BENCH_TMP/display"
	: >"$number"
	# -noreset: without it the server resets after its last client, which costs every start.
	# -br: a black root, so that a window shows as painted only once it draws.
	Xvfb -displayfd 3 -noreset -nolisten tcp -br -screen 0 1024x768x24 \
		3>"$number" >"$BENCH_TMP/xvfb.log" 2>&1 &
	bench_track_pid $!
	bench_wait_for 10 grep -q '[0-9]' "$number" || bench_skip "Xvfb did not start"
	DISPLAY=":$(tr -dc '0-9' <"$number")"
	export DISPLAY
	bench_wait_for 10 xprop -root || bench_skip "no X server on $DISPLAY"
	if [ -n "${BENCH_NO_WM:-}" ]; then
		bench_log "display $DISPLAY without a window manager ready"
		return 0
	fi

	openbox --sm-disable >"$BENCH_TMP/openbox.log" 2>&1 &
	bench_track_pid $!
	# Its client list is written last: a window mapped before may stay unmapped (as in
	# tests/e2e/lib.sh).
	bench_wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" \
		&& xprop -root _NET_CLIENT_LIST | grep -q "window id"' \
		|| bench_fail "openbox did not start"
	bench_log "display $DISPLAY with openbox ready"
}

# A private session bus, as every desktop has; the GTK and Qt programs look for one.
bench_start_session_bus()
{
	command -v dbus-daemon >/dev/null 2>&1 || return 0
	local address
	address=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 \
		2>/dev/null | head -n 2) || return 0
	DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$address")
	export DBUS_SESSION_BUS_ADDRESS
	bench_track_pid "$(sed -n 2p <<<"$address")"
}

bench_build_probe()
{
	[ -x "$BENCH_PROBE" ] && return 0
	local libs=(-lX11)
	# XTest ships without its development header here; its one call is declared below.
	if [ -e /usr/lib/x86_64-linux-gnu/libXtst.so ] || ldconfig -p | grep -q 'libXtst.so '; then
		libs+=(-lXtst)
	else
		libs+=(-l:libXtst.so.6)
	fi
	cat >"$BENCH_TMP/xprobe.c" <<'EOF'
/* xprobe start [--paint] [--bare] [--log FILE] CMD...  ->  "PID MAP_MS PAINT_MS WINDOW CPU_MS"
 *   Starts CMD and times, from just before the fork, until the window manager has mapped
 *   its first top-level window (MapNotify of a reparented client window; with --bare, no
 *   window manager runs and the map of any top-level window counts) and, with
 *   --paint, until that window's pixels are no longer uniform (the first drawn frame).
 *   CPU_MS is the CPU time CMD used until then (all threads), which tells a slow program
 *   from a busy machine.
 *   CMD keeps running.
 * xprobe keys WINDOW X Y W H KEYSYM...  ->  one line of milliseconds per key
 *   Presses each key through XTest and times until the given area of the window changes.
 * xprobe changes WINDOW X Y W H SECONDS  ->  how often the area changed (polled every 20 ms) */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

int XTestFakeKeyEvent(Display *, unsigned int, Bool, unsigned long);

static double now_ms(void)
{
	struct timespec t;
	clock_gettime(CLOCK_MONOTONIC, &t);
	return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static void nap_us(long us)
{
	struct timespec t = {0, us * 1000};
	nanosleep(&t, NULL);
}

static int ignore_errors(Display *d, XErrorEvent *e) { (void)d; (void)e; return 0; }

/* The area's pixels, or NULL when the window is gone; *size is set to their byte count. */
static char *grab(Display *d, Window w, int x, int y, int width, int height, size_t *size)
{
	XImage *image = XGetImage(d, w, x, y, width, height, AllPlanes, ZPixmap);
	if (image == NULL)
		return NULL;
	*size = (size_t)image->bytes_per_line * image->height;
	char *copy = malloc(*size);
	if (copy != NULL)
		memcpy(copy, image->data, *size);
	XDestroyImage(image);
	return copy;
}

static int is_uniform(Display *d, Window w)
{
	XWindowAttributes a;
	if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable)
		return 1;
	XImage *image = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
	if (image == NULL)
		return 1;
	int uniform = 1;
	if (image->bits_per_pixel == 32) {
		/* The usual case, compared as words: XGetPixel is too slow to poll a large window. */
		const unsigned int mask = 0xffffff;
		unsigned int first = *(unsigned int *)image->data & mask;
		for (int y = 0; y < image->height && uniform; y++) {
			const unsigned int *row = (const unsigned int *)(image->data
				+ (size_t)y * image->bytes_per_line);
			for (int x = 0; x < image->width; x++)
				if ((row[x] & mask) != first) {
					uniform = 0;
					break;
				}
		}
	} else {
		unsigned long first = XGetPixel(image, 0, 0);
		for (int y = 0; y < image->height && uniform; y++)
			for (int x = 0; x < image->width; x++)
				if (XGetPixel(image, x, y) != first) {
					uniform = 0;
					break;
				}
	}
	XDestroyImage(image);
	return uniform;
}

/* CPU time of all the process's threads so far, in ms (the scheduler's own count, exact
 * where /proc/PID/stat has only clock ticks). */
static double cpu_of(pid_t pid)
{
	char path[64];
	snprintf(path, sizeof path, "/proc/%d/task", (int)pid);
	DIR *tasks = opendir(path);
	if (tasks == NULL)
		return -1;
	double sum = 0;
	struct dirent *entry;
	while ((entry = readdir(tasks)) != NULL) {
		if (entry->d_name[0] == '.')
			continue;
		char file[128], line[256];
		snprintf(file, sizeof file, "%s/%.32s/sched", path, entry->d_name);
		FILE *f = fopen(file, "r");
		if (f == NULL)
			continue;
		while (fgets(line, sizeof line, f) != NULL) {
			double ms;
			if (strncmp(line, "se.sum_exec_runtime", 19) == 0
				&& sscanf(strchr(line, ':') + 1, "%lf", &ms) == 1)
				sum += ms;
		}
		fclose(f);
	}
	closedir(tasks);
	return sum;
}

#define MAX_WINDOWS 256

static int start(int argc, char **argv)
{
	int paint = 0, bare = 0;
	const char *log = "/dev/null";
	int i = 0;
	for (; i < argc && argv[i][0] == '-'; i++) {
		if (strcmp(argv[i], "--paint") == 0)
			paint = 1;
		else if (strcmp(argv[i], "--bare") == 0)
			bare = 1;
		else if (strcmp(argv[i], "--log") == 0 && i + 1 < argc)
			log = argv[++i];
	}
	if (i >= argc)
		return 2;
	Display *d = XOpenDisplay(NULL);
	if (d == NULL)
		return 3;
	XSetErrorHandler(ignore_errors);
	Window root = DefaultRootWindow(d);
	XSelectInput(d, root, SubstructureNotifyMask);
	XSync(d, False);

	double t0 = now_ms();
	pid_t pid = fork();
	if (pid == 0) {
		int null = open("/dev/null", O_RDONLY);
		int out = open(log, O_WRONLY | O_CREAT | O_APPEND, 0644);
		dup2(null, 0);
		if (out >= 0) {
			dup2(out, 1);
			dup2(out, 2);
		}
		setsid();
		execvp(argv[i], argv + i);
		_exit(127);
	}
	if (pid < 0)
		return 4;

	Window tracked[MAX_WINDOWS];
	int managed[MAX_WINDOWS];
	int count = 0;
	Window mapped = 0;
	double map_ms = -1;
	while (mapped == 0 && now_ms() - t0 < 20000) {
		if (!XPending(d)) {
			nap_us(200);
			continue;
		}
		XEvent e;
		XNextEvent(d, &e);
		double t = now_ms();
		if (e.type == CreateNotify && e.xcreatewindow.parent == root
			&& !e.xcreatewindow.override_redirect && count < MAX_WINDOWS) {
			tracked[count] = e.xcreatewindow.window;
			managed[count++] = 0;
			XSelectInput(d, e.xcreatewindow.window, StructureNotifyMask);
		} else if (e.type == ReparentNotify && e.xreparent.parent != root) {
			for (int k = 0; k < count; k++)
				if (tracked[k] == e.xreparent.window)
					managed[k] = 1;
		} else if (e.type == MapNotify) {
			for (int k = 0; k < count; k++)
				if ((managed[k] || bare) && tracked[k] == e.xmap.window) {
					mapped = tracked[k];
					map_ms = t - t0;
				}
			/* A frame of the window manager was mapped (seen through the root). Its client
			 * is mapped with it; when this probe was too slow to select the client's own
			 * events in time, this is where the map shows. */
			if (mapped == 0 && e.xmap.event == root)
				for (int k = 0; k < count && mapped == 0; k++) {
					XWindowAttributes a;
					if (managed[k] && XGetWindowAttributes(d, tracked[k], &a)
						&& a.map_state != IsUnmapped) {
						mapped = tracked[k];
						map_ms = t - t0;
					}
				}
		}
	}
	double paint_ms = -1, cpu_ms = cpu_of(pid);
	if (mapped != 0 && paint) {
		while (now_ms() - t0 < 20000) {
			if (!is_uniform(d, mapped)) {
				paint_ms = now_ms() - t0;
				cpu_ms = cpu_of(pid);
				break;
			}
			nap_us(1000);
		}
	}
	printf("%d %.2f %.2f 0x%lx %.2f\n", (int)pid, map_ms, paint_ms, (unsigned long)mapped,
		cpu_ms);
	XCloseDisplay(d);
	return mapped != 0 ? 0 : 1;
}

static int keys(int argc, char **argv)
{
	if (argc < 6)
		return 2;
	Display *d = XOpenDisplay(NULL);
	if (d == NULL)
		return 3;
	XSetErrorHandler(ignore_errors);
	Window w = strtoul(argv[0], NULL, 0);
	int x = atoi(argv[1]), y = atoi(argv[2]), width = atoi(argv[3]), height = atoi(argv[4]);
	for (int k = 5; k < argc; k++) {
		KeyCode code = XKeysymToKeycode(d, XStringToKeysym(argv[k]));
		if (code == 0)
			return 5;
		size_t size = 0, now_size = 0;
		char *before = grab(d, w, x, y, width, height, &size);
		if (before == NULL)
			return 6;
		XTestFakeKeyEvent(d, code, True, CurrentTime);
		XTestFakeKeyEvent(d, code, False, CurrentTime);
		XSync(d, False);
		double t0 = now_ms(), ms = -1;
		while (now_ms() - t0 < 2000) {
			char *now = grab(d, w, x, y, width, height, &now_size);
			int changed = now != NULL && (now_size != size || memcmp(now, before, size) != 0);
			free(now);
			if (changed) {
				ms = now_ms() - t0;
				break;
			}
			nap_us(100);
		}
		free(before);
		printf("%.3f\n", ms);
		fflush(stdout);
		/* Lets the caret and any late frame settle before the next key. */
		nap_us(30000);
	}
	XCloseDisplay(d);
	return 0;
}

static int changes(int argc, char **argv)
{
	if (argc < 6)
		return 2;
	Display *d = XOpenDisplay(NULL);
	if (d == NULL)
		return 3;
	XSetErrorHandler(ignore_errors);
	Window w = strtoul(argv[0], NULL, 0);
	int x = atoi(argv[1]), y = atoi(argv[2]), width = atoi(argv[3]), height = atoi(argv[4]);
	double seconds = atof(argv[5]), t0 = now_ms();
	size_t size = 0, now_size = 0;
	char *last = grab(d, w, x, y, width, height, &size);
	int count = 0;
	while (last != NULL && now_ms() - t0 < seconds * 1000) {
		nap_us(20000);
		char *now = grab(d, w, x, y, width, height, &now_size);
		if (now == NULL)
			break;
		if (now_size != size || memcmp(now, last, size) != 0)
			count++;
		free(last);
		last = now;
		size = now_size;
	}
	free(last);
	XCloseDisplay(d);
	printf("%d\n", count);
	return 0;
}

int main(int argc, char **argv)
{
	if (argc >= 2 && strcmp(argv[1], "start") == 0)
		return start(argc - 2, argv + 2);
	if (argc >= 2 && strcmp(argv[1], "keys") == 0)
		return keys(argc - 2, argv + 2);
	if (argc >= 2 && strcmp(argv[1], "changes") == 0)
		return changes(argc - 2, argv + 2);
	fprintf(stderr, "usage: xprobe start [--paint] [--log FILE] CMD... | "
		"keys WINDOW X Y W H KEYSYM... | changes WINDOW X Y W H SECONDS\n");
	return 2;
}
EOF
	cc -O2 -Wall -o "$BENCH_PROBE" "$BENCH_TMP/xprobe.c" "${libs[@]}" \
		|| bench_fail "could not build the X timing client"
}

# bench_launch LOG CMD...: see the header. Every start gets a home of its own, so that no
# run finds what an earlier one saved (unless BENCH_SAME_HOME=1).
bench_launch()
{
	local log=$1
	shift
	local home
	if [ "${BENCH_SAME_HOME:-0}" = 1 ]; then
		home=$BENCH_HOME_ROOT/home.same
		mkdir -p "$home"
	else
		home=$(mktemp -d "$BENCH_HOME_ROOT/home.XXXXXX")
	fi
	# As in any user's home: without the directory the settings could not be written at all.
	mkdir -p "$home/.config" "$home/.cache" "$home/.local/share"
	local flags=(--log "$log")
	[ "${BENCH_PAINT:-0}" = 1 ] && flags+=(--paint)
	[ -n "${BENCH_NO_WM:-}" ] && flags+=(--bare)
	local line
	line=$(HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache \
		XDG_DATA_HOME=$home/.local/share "$BENCH_PROBE" start "${flags[@]}" "$@") || {
		BENCH_PID=$(cut -d' ' -f1 <<<"$line")
		if [ -n "$BENCH_PID" ]; then
			bench_track_pid "$BENCH_PID"
			kill "$BENCH_PID" 2>/dev/null || true
		fi
		return 1
	}
	read -r BENCH_PID BENCH_MAP_MS BENCH_PAINT_MS BENCH_WIN BENCH_CPU_MS <<<"$line"
	bench_track_pid "$BENCH_PID"
}

# Quits the program with the given keys (default ctrl+q) as a user would, and insists when
# it does not go; with "none" it is ended at once. Like everything here that the scripts call
# under set -e, it fails only where the caller has to stop.
bench_stop()
{
	local pid=$1 keys=${2:-ctrl+q}
	if [ -n "${BENCH_WIN:-}" ] && [ "$keys" != none ]; then
		# XTest keys, to the active window: sent events are ignored by some toolkits.
		xdotool key "$keys" >/dev/null 2>&1 || true
		bench_wait_for 3 bench_gone "$pid" && return 0
	fi
	kill "$pid" 2>/dev/null || true
	bench_wait_for 2 bench_gone "$pid" || kill -9 "$pid" 2>/dev/null || true
}

# True once PID has exited; the programs are not our children, and whoever inherits them
# may leave them as zombies for a while.
bench_gone()
{
	local state
	state=$(sed 's/^.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)
	[ -z "$state" ] || [ "$state" = Z ]
}

bench_rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# The shared libraries mapped into PID (the program itself and the loader not counted).
bench_libraries()
{
	grep -o '/[^ ]*\.so[.0-9]*$' "/proc/$1/maps" 2>/dev/null | grep -v '/ld-linux' | sort -u \
		| wc -l
}

# Fields 14 and 15 of /proc/PID/stat, counted after the command name, which may hold spaces.
bench_cpu_ticks()
{
	sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

# Exact, but only for the threads alive now: the time of a thread that has ended is gone
# from this sum (bench_cpu_ticks keeps it, at a tick's resolution).
bench_cpu_ns()
{
	cat /proc/"$1"/task/*/sched 2>/dev/null \
		| awk '/^se.sum_exec_runtime/ { sum += $3 } END { printf "%d\n", sum * 1e6 }'
}

bench_median()
{
	sort -g | awk '{ v[NR] = $1 } END {
		if (NR == 0) { print "n/a"; exit }
		if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

bench_machine()
{
	local cpu memory debian
	cpu=$(grep -m 1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
	memory=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
	debian=$(cat /etc/debian_version 2>/dev/null || echo unknown)
	printf '| CPUs (nproc) | %s |\n| CPU model | %s |\n| memory | %s |\n| Debian | %s |\n' \
		"$(nproc)" "$cpu" "$memory" "$debian"
	printf '| kernel | %s |\n| Xvfb | %s |\n' "$(uname -r)" \
		"$(dpkg-query -W -f '${Version}' xvfb 2>/dev/null || echo unknown)"
}
