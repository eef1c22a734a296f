#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end on a virtual X screen: the real program in a fresh folder shows its exact title, starts a game with F2,
# takes a typed word, exits with Yes (leaving the practice store as it shipped), keeps the game in progress.db and
# exports it. Exit: 0 passed, 1 failed, 77 skipped.
set -euo pipefail

readonly EXECUTABLE=${1:?usage: run_e2e.sh <trenix executable> <data folder>}
readonly DATA=${2:?usage: run_e2e.sh <trenix executable> <data folder>}
readonly KEY="OakRun.Blue" TWIPS_PER_PX=15 SHOT=${TMPDIR:-/tmp}/trenix-e2e-failure.png # 96 DPI

for tool in Xvfb xdotool xprop sqlcipher import convert timeout; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

WORK=$(mktemp -d) XVFB_PID="" APP_PID=""
cleanup() {
    kill $APP_PID $XVFB_PID 2>/dev/null || true # unquoted: an empty one is left out
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ -n ${DISPLAY:-} ]] && import -window root "$SHOT" 2>/dev/null && echo "screen at the failure: $SHOT" >&2
    [[ -f $WORK/app.log ]] && { echo "--- program output:" >&2; cat "$WORK/app.log" >&2; }
    exit 1
}

wait_for() { # up to $1 tenths of a second
    for ((i = 0; i < $1; i++)); do
        "${@:2}" && return 0
        sleep 0.1
    done
    return 1
}

# Newer sqlcipher prints "ok" for the key pragma.
store() { sqlcipher "$PROGRAM/trenix.dat" "PRAGMA key='$KEY'; $1" 2>/dev/null | { grep -v '^ok$' || true; }; }
text() { sqlcipher "$PROGRAM/word_language.mdb" "select CValue from CWord where ID='$1' and Clanguage='2';"; }

# A fresh program folder; three words of several characters keep the game short and every word typeable.
PROGRAM="$WORK/program"
mkdir -p "$PROGRAM" "$WORK/home"
cp "$EXECUTABLE" "$PROGRAM/trenix"
cp "$DATA"/{trenix.dat,word_language.mdb,config.dat,help0{1..7}.bmp} "$PROGRAM/" ||
    fail "data files are missing in $DATA"
chmod u+w "$PROGRAM"/*
store "create temp table keep as select xh from zidian2 where length(cz) >= 2 order by xh limit 3;
       delete from zidian2 where xh not in (select xh from keep);" >/dev/null ||
    fail "cannot open the practice store with its key"
TITLE=$(text GLVex.caption) QUESTION_TITLE=$(text RJXX)
[[ -n $TITLE && -n $QUESTION_TITLE ]] || fail "window titles missing from the language store"

# A screen that takes connections: Xvfb can name a display and still go away (another server
# won the same number), so ask it something before the program starts, and try again if not.
start_screen() {
    rm -f "$WORK/display"
    # -noreset: otherwise the server resets when the probe below leaves, and refuses whoever connects meanwhile.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_for 100 test -s "$WORK/display" || return 1
    export DISPLAY=":$(head -n1 "$WORK/display")"
    wait_for 50 xprop -root _XKB_RULES_NAMES >/dev/null 2>&1 && kill -0 "$XVFB_PID" 2>/dev/null
}
for attempt in 1 2 3; do
    start_screen && break
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID="" DISPLAY=""
    ((attempt < 3)) || fail "Xvfb did not start a screen that takes connections: $(cat "$WORK/xvfb.log")"
done

# The window appears with its looked-up title, no application name appended (the name is matched whole).
launch() {
    env -u QT_IM_MODULE -u XMODIFIERS -u QT_SCALE_FACTOR -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME \
        HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK" QT_QPA_PLATFORM=xcb LANG=C.UTF-8 "$PROGRAM/trenix" >"$WORK/app.log" 2>&1 &
    APP_PID=$!
}
find_window() { WINDOW=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1); [[ -n $WINDOW ]]; }
# A program refused by a busy screen is the screen's fault, not the program's: start it once more.
window_or_gone() { find_window "$TITLE" || ! kill -0 "$APP_PID" 2>/dev/null; }
launch
wait_for 600 window_or_gone
if [[ -z $WINDOW ]] && grep -q "could not connect to display" "$WORK/app.log"; then
    sleep 1
    launch
fi
wait_for 600 find_window "$TITLE" || fail "no window titled '$TITLE' appeared"
MAIN=$WINDOW
eval "$(xdotool getwindowgeometry --shell "$MAIN")"

# Light-green pixels of word labels in the play field (60, 1170, 11625, 5835 twips); the client area is at X, Y.
green_pixels() {
    local size="$((11625 / TWIPS_PER_PX))x$((5835 / TWIPS_PER_PX))"
    import -window root -crop "$size+$((X + 60 / TWIPS_PER_PX))+$((Y + 1170 / TWIPS_PER_PX))" "$WORK/field.png"
    convert "$WORK/field.png" -fill black +opaque '#C0FFC0' -fill white -opaque '#C0FFC0' \
        -format '%[fx:round(mean*w*h)]' info:
}
word_shown() { [[ $(green_pixels) -gt 0 ]]; }
word_gone() { [[ $(green_pixels) -eq 0 ]]; }

# F2 starts a game and fills the practice list.
xdotool windowfocus --sync "$MAIN" key F2
practice_filled() { [[ $(store "select count(*) from trenix where flag=1;") -eq 3 ]]; }
wait_for 400 practice_filled ||
    fail "the start command did not fill the practice list: $(store 'select count(*), sum(flag) from trenix;')"
wait_for 200 word_shown || fail "no word appeared in the play field"

# Only the first word is released, so typing all three hits exactly the one on the field.
while IFS= read -r word; do
    xdotool type --delay 120 -- "$word"
    xdotool key Return
done < <(store "select cz from trenix where flag=1;")
wait_for 200 word_gone || fail "the typed words did not remove the word on the field"

# The exit command (9270, 60 twips) with Yes ends the program; our own child lingers as a zombie until waited for.
xdotool mousemove --sync $((X + 9270 / TWIPS_PER_PX + 12)) $((Y + 60 / TWIPS_PER_PX + 10)) click 1
wait_for 200 find_window "$QUESTION_TITLE" || fail "the exit question did not appear"
xdotool windowfocus --sync "$WINDOW" key Return
app_ended() { local state; state=$(ps -o stat= -p "$APP_PID") || return 0; [[ $state == Z* ]]; }
wait_for 400 app_ended || fail "the program did not end after Yes"
wait "$APP_PID" || fail "the program ended with status $?"
APP_PID=""

# At rest the practice store is back on the journal it shipped with, so that it opens in a read-only place too.
MODE=$(store "pragma journal_mode;")
[[ $MODE == delete && ! -e $PROGRAM/trenix.dat-wal ]] || fail "the practice store was left on journal mode '$MODE'"

# The game is kept, and the command line exports it.
KEPT=$(sqlcipher "$PROGRAM/progress.db" "select count(*) from games where hits >= 1;" 2>&1) || true
[[ $KEPT == 1 ]] || fail "the game ended by the exit command was not kept: $KEPT"
env -u DISPLAY "$PROGRAM/trenix" --export-history "$WORK/games.csv" 2>>"$WORK/app.log" ||
    fail "--export-history ended with status $?"
[[ $(wc -l <"$WORK/games.csv") -eq 2 ]] ||
    fail "the export does not hold a header and one game: $(cat "$WORK/games.csv")"
echo "PASS"
