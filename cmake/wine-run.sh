#!/bin/bash
# Runs a Windows test program under Wine, inside a pseudo-terminal so that it
# gets a real console (Wine makes one only when a terminal is there).
#
#   cmake/wine-run.sh path/to/program.exe [arguments...]
#
# CTest calls this as the cross-compiling emulator; it works the same by hand.
# The console's own output is full of terminal escapes, so the program writes
# its report to the file named by MIRVANE_TEST_OUTPUT (a Windows path) and this
# script prints that file afterwards (or, when the program wrote none, the
# console's text). The exit status is the program's, 124 when it ran out of
# time.
#
# Environment:
#   MIRVANE_WINEPREFIX    the Wine prefix to use; default <program dir>/../wine-prefix,
#                         created on first use
#   MIRVANE_WINE_TIMEOUT  seconds before the program is stopped (default 300)
#   WINE64                the wine64 loader, if not on PATH or in /usr/lib/wine
set -u

if [ $# -lt 1 ]; then
    echo "usage: $0 program.exe [arguments...]" >&2
    exit 2
fi

program=$(realpath -- "$1") || exit 2
shift

wine=${WINE64:-}
if [ -z "$wine" ]; then
    wine=$(command -v wine64 || true)
fi
if [ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ]; then
    wine=/usr/lib/wine/wine64
fi
if [ -z "$wine" ]; then
    echo "wine-run: wine64 not found (install the wine64 package or set WINE64)" >&2
    exit 2
fi
wineserver="$(dirname -- "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo wineserver)

prefix=${MIRVANE_WINEPREFIX:-$(dirname -- "$program")/../wine-prefix}
mkdir -p -- "$prefix" || exit 2
prefix=$(realpath -- "$prefix")

export WINEPREFIX="$prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer prompts, and never a window on the caller's screen:
# a test that waits on a message box must time out the same way everywhere.
export WINEDLLOVERRIDES="mscoree=;mshtml="
unset DISPLAY WAYLAND_DISPLAY

# The first start builds the prefix (a few seconds); tests started in parallel
# must not all try at once, so the first one builds it under a lock.
(
    flock 9
    if [ ! -f "$prefix/.mirvane-ready" ]; then
        echo "wine-run: creating Wine prefix $prefix" >&2
        "$wine" wineboot --init >"$prefix/wineboot.log" 2>&1
        "$wineserver" -w
        [ -f "$prefix/system.reg" ] && touch "$prefix/.mirvane-ready"
    fi
) 9>"$prefix.lock"
if [ ! -f "$prefix/.mirvane-ready" ]; then
    echo "wine-run: could not create the Wine prefix; see $prefix/wineboot.log" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 2
trap 'rm -rf -- "$work"' EXIT
results="$work/results.txt"
console="$work/console.log"
: >"$results"

# Wine maps drive Z: to the Unix root.
export MIRVANE_TEST_OUTPUT="Z:${results//\//\\}"

command=$(printf '%q ' "$wine" "$program" "$@")
timeout_seconds=${MIRVANE_WINE_TIMEOUT:-300}

timeout --kill-after=5 "$timeout_seconds" \
    env SHELL=/bin/bash script -qec "stty rows 30 cols 100; exec $command" /dev/null \
    </dev/null >"$console" 2>&1
status=$?

if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    # Whatever the program left running in this prefix goes too.
    "$wineserver" -k 2>/dev/null
    status=124
fi

# The console's text without the terminal's escape sequences.
console_text() {
    sed -e 's/\x1b\[[0-9]*C/ /g' -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' \
        -e 's/\x1b[][()][^\x07]*\x07\?//g' -e 's/\r//g' -- "$console" |
        grep -v '^[[:space:]]*$'
}

if [ -s "$results" ]; then
    cat -- "$results"
    # Only when something went wrong: what Wine or the program said where
    # the report file could not catch it.
    if [ "$status" -ne 0 ]; then
        text=$(console_text)
        [ -n "$text" ] && printf 'wine-run: console output:\n%s\n' "$text" >&2
    fi
else
    # A program that knows nothing of MIRVANE_TEST_OUTPUT wrote to the console.
    console_text
fi
if [ "$status" -eq 124 ]; then
    echo "wine-run: $(basename -- "$program") did not finish within ${timeout_seconds} s" >&2
elif [ "$status" -ne 0 ]; then
    echo "wine-run: $(basename -- "$program") exited with status $status" >&2
fi
exit "$status"
