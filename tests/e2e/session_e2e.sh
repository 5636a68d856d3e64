#!/bin/bash
# A person's session, replayed: Xvfb, mirvane_session.exe in Wine's windowed
# console, xdotool at the keyboard. Types three commands with output, goes
# back twice and forward once with Ctrl-Alt-Up/Down, checks from the
# session's log that the window's top row is each time the right command's
# row, takes a screenshot, then makes Ctrl-Up the back hotkey with
# `mirvane /B:Ctrl-Up` and checks that it moves and Ctrl-Alt-Up no longer does;
# then makes Ctrl-Alt-C the copy hotkey, copies the output of `count 5` and
# pastes it; last turns find by typing on, goes back to the command that
# begins as the typed `count 5`, clears the line with Esc, does the same for
# `count 3`, and copies and pastes that command's output.
#
#   tests/e2e/session_e2e.sh BUILD_DIR
#
# Everything it leaves (log, screenshot, Wine prefix) is in BUILD_DIR/e2e.
# Exit status: 0 passed, 1 failed, 77 skipped (a tool is missing). With
# MIRVANE_E2E_REQUIRED=1 (scripts/test sets it) a missing tool is a failure.
#
# A desktop under heavy load can drop a synthetic keystroke, which shows as a
# log entry that never comes. Such a run is tried once more, from scratch,
# after its failure has been printed; a second failure fails the test.
set -u

if [ -z "${MIRVANE_E2E_ATTEMPT:-}" ]; then
    for attempt in 1 2; do
        MIRVANE_E2E_ATTEMPT=$attempt bash "$0" "$@"
        status=$?
        [ "$status" -ne 1 ] && exit "$status"
        [ "$attempt" -eq 1 ] && printf 'e2e: attempt 1 failed (above); once more from scratch\n'
    done
    exit 1
fi

build=$(realpath -- "${1:?usage: $0 BUILD_DIR}")
bin="$build/bin"
out="$build/e2e"
log="$out/session.log"
deadline_seconds=${MIRVANE_E2E_TIMEOUT:-200}

say() { printf 'e2e: %s\n' "$*"; }
fail() {
    say "FAIL: $*"
    [ -f "$log" ] && { say "session log:"; sed 's/^/    /' "$log"; }
    [ -s "$out/wine.log" ] && { say "wine says:"; tail -n 20 "$out/wine.log" | sed 's/^/    /'; }
    exit 1
}

# --- tools -------------------------------------------------------------------
wine=${WINE64:-$(command -v wine64 || true)}
[ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
convert=$(command -v convert-im6.q16 || command -v convert || true)
missing=()
[ -n "$wine" ] || missing+=(wine64)
for tool in Xvfb xdotool xwd; do command -v "$tool" >/dev/null || missing+=("$tool"); done
[ -n "$convert" ] || missing+=(convert-im6.q16)
if [ ${#missing[@]} -gt 0 ]; then
    if [ "${MIRVANE_E2E_REQUIRED:-0}" = 1 ]; then
        say "FAIL: missing ${missing[*]} (scripts/install-deps windows e2e)"
        exit 1
    fi
    say "skipped: missing ${missing[*]} (scripts/install-deps windows e2e)"
    exit 77
fi
wineserver="$(dirname -- "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo wineserver)
for file in mirvane_session.exe Mirvane.dll TakeCmd.dll; do
    [ -f "$bin/$file" ] || fail "$bin/$file is not built"
done

# --- a fresh prefix, a private display ---------------------------------------
rm -rf -- "$out"
mkdir -p -- "$out"
shot="$out/session-back.png"
export WINEPREFIX="$out/wine-prefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
started=$SECONDS

xvfb_pid=""
session_pid=""
cleanup() {
    [ -n "$session_pid" ] && kill "$session_pid" 2>/dev/null
    "$wineserver" -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT

# Without a display: no "updating the prefix" window to steal the focus.
(unset DISPLAY; timeout 120 "$wine" wineboot --init >"$out/wineboot.log" 2>&1; "$wineserver" -w)
[ -f "$WINEPREFIX/system.reg" ] || fail "could not create the Wine prefix (see $out/wineboot.log)"
say "prefix ready after $((SECONDS - started)) s"

exec 3>"$out/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do [ -s "$out/display" ] && break; sleep 0.1; done
[ -s "$out/display" ] || fail "Xvfb did not start (see $out/xvfb.log)"
export DISPLAY=":$(head -n1 "$out/display")"

# --- the session ---------------------------------------------------------------
cd -- "$bin" || exit 1
timeout --kill-after=5 "$deadline_seconds" \
    "$wine" wineconsole mirvane_session.exe --log "Z:${log//\//\\}" >"$out/wine.log" 2>&1 &
session_pid=$!

# Waits until the log has at least $1 lines; the session writes one when it
# starts, after each command line and after each consumed hotkey.
wait_lines() {
    local want=$1 what=$2
    local until=$((SECONDS + 45))
    while [ "$SECONDS" -lt "$until" ]; do
        [ -f "$log" ] && [ "$(wc -l <"$log")" -ge "$want" ] && return 0
        kill -0 "$session_pid" 2>/dev/null || fail "the session ended while waiting for $what"
        sleep 0.1
    done
    fail "no log entry for $what within 45 s"
}
entry() { sed -n "${1}p" "$log"; }
row_of_line() { entry "$1" | sed -n 's/^line row \([0-9]*\): .*/\1/p'; }
top_of_hotkey() { entry "$1" | sed -n 's/^hotkey .* top \([0-9]*\): .*/\1/p'; }
text_of_hotkey() { entry "$1" | sed -n 's/^hotkey .* top [0-9]*: //p'; }

wait_lines 1 "the start"
grep -q '^started host 24.0$' "$log" || fail "the session did not start the plug-in"
window=""
for _ in $(seq 100); do
    window=$(xdotool search --name 'mirvane_session' 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no console window appeared"
timeout 10 xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
say "session up after $((SECONDS - started)) s"

lines=1
type_line() {
    xdotool type --delay 40 -- "$1"
    xdotool key Return
    lines=$((lines + 1))
    wait_lines "$lines" "the command \"$1\""
    [ "$(entry "$lines" | sed 's/^line row [0-9]*: //')" = "$1" ] ||
        fail "the session read \"$(entry "$lines")\" for \"$1\""
}
# The modifiers stay down until the session has logged the key, as under a
# person's hand: the plug-in reads them when the session gets to the key,
# and under load that is after xdotool would have let them go.
hotkey() {
    local key=${1##*+}
    local modifiers=${1%"$key"}
    modifiers=${modifiers//+/ }
    xdotool keydown $modifiers
    xdotool key "$key"
    lines=$((lines + 1))
    wait_lines "$lines" "the hotkey $1"
    xdotool keyup $modifiers
}
expect_top() {
    local entry_line=$1 command_line=$2 what=$3
    local top row
    top=$(top_of_hotkey "$entry_line")
    row=$(row_of_line "$command_line")
    [ -n "$top" ] && [ "$top" = "$row" ] ||
        fail "$what: the window's top row is ${top:-?}, the command's row is ${row:-?}"
    [ "$(text_of_hotkey "$entry_line")" = "session> $(entry "$command_line" | sed 's/^line row [0-9]*: //')" ] ||
        fail "$what: the top line reads \"$(text_of_hotkey "$entry_line")\""
    say "ok: $what (top row $top)"
}
# The copy hotkey was just pressed: it must have been consumed, and `paste`
# must print what it put on the clipboard, lines joined by "|".
expect_copied() {
    local expected=$1 what=$2
    entry "$lines" | grep -q '^hotkey 0x1002E held Ctrl+Alt ' || fail "Ctrl-Alt-C was not consumed: $(entry "$lines")"
    xdotool key Escape
    type_line "paste"
    lines=$((lines + 1))
    wait_lines "$lines" "the pasted text"
    [ "$(entry "$lines")" = "pasted: $expected" ] || fail "$what: the clipboard held \"$(entry "$lines")\""
    say "ok: $what"
}

type_line "count 40";  first=$lines
type_line "mirvane";   settings=$lines
type_line "count 40";  second=$lines
hotkey ctrl+alt+Up;    expect_top "$lines" "$second" "Ctrl-Alt-Up goes back to the last command"
hotkey ctrl+alt+Up;    expect_top "$lines" "$settings" "Ctrl-Alt-Up again goes to the one before"
sleep 0.5
xwd -root -silent -display "$DISPLAY" | "$convert" xwd:- "$shot" || fail "no screenshot"
hotkey ctrl+alt+Down;  expect_top "$lines" "$second" "Ctrl-Alt-Down comes forward again"
grep -q '^hotkey 0x1008D held Ctrl+Alt ' "$log" || fail "Ctrl-Alt-Up did not arrive as Ctrl-Up (0x1008D) with Ctrl and Alt held"

# The back hotkey changed live: Ctrl-Alt-Up now passes, Ctrl-Up moves.
type_line "mirvane /B:Ctrl-Up"
xdotool key ctrl+alt+Up
hotkey ctrl+Up
expect_top "$lines" "$second" "Ctrl-Up, the new back hotkey, goes back"
entry "$lines" | grep -q '^hotkey 0x1008D held Ctrl top' || fail "the move was not Ctrl-Up's: $(entry "$lines")"
type_line "count 3"
[ "$(grep -c '^hotkey' "$log")" -eq 4 ] || fail "Ctrl-Alt-Up still moved after mirvane /B:Ctrl-Up"
say "ok: Ctrl-Alt-Up no longer moves"

# The copy hotkey: the output of "count 5" onto the clipboard, and pasted.
type_line "mirvane /C:Ctrl-Alt-C"
type_line "count 5"
hotkey ctrl+alt+c
expect_copied "line 1 of 5|line 2 of 5|line 3 of 5|line 4 of 5|line 5 of 5" "Ctrl-Alt-C copied the output of count 5"

# Find by typing: with the start of an earlier command on the line, the
# hotkeys skip every command that does not begin that way. Neither typed
# text is the start of another command, and each one's last run is here.
type_line "mirvane /D /T:Y /C:Ctrl-Alt-C"
type_line "count 3";   three=$lines
type_line "count 40"
type_line "count 5";   five=$lines
type_line "count 40"
xdotool type --delay 40 -- "count 5"
hotkey ctrl+alt+Up;    expect_top "$lines" "$five" "count 5 typed, Ctrl-Alt-Up goes to count 5"
xdotool key Escape
xdotool type --delay 40 -- "count 3"
hotkey ctrl+alt+Up;    expect_top "$lines" "$three" "count 3 typed after Esc, Ctrl-Alt-Up goes to count 3"
hotkey ctrl+alt+c
expect_copied "line 1 of 3|line 2 of 3|line 3 of 3" "count 3 typed, Ctrl-Alt-C copied the output of count 3"

type_line exit
lines=$((lines + 1))
wait_lines "$lines" "the end of the session"
[ "$(entry "$lines")" = "ended" ] || fail "the session did not end cleanly"
wait "$session_pid"
session_pid=""

# The screenshot is evidence, kept; it must at least show something.
mean=$("$convert" "$shot" -format '%[fx:mean]' info: 2>/dev/null)
awk -v m="${mean:-0}" 'BEGIN { exit !(m > 0.002) }' || fail "the screenshot $shot is blank"
say "screenshot: $shot"
say "passed in $((SECONDS - started)) s"
