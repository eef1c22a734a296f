#!/usr/bin/env bash
# End to end on a virtual X screen: the real executable in a fresh program folder
# shows its window under its exact title, starts a game with F2, takes a typed
# word and exits with Yes; the game is kept in progress.db and exported by
# --export-history.
# Usage: run_e2e.sh <trenix executable> <folder with the data files>
# Exit status: 0 passed, 1 failed, 77 a needed tool is missing (skipped).
set -euo pipefail

readonly EXECUTABLE=${1:?usage: run_e2e.sh <trenix executable> <data folder>}
readonly DATA=${2:?usage: run_e2e.sh <trenix executable> <data folder>}
readonly KEY="OakRun.Blue"
readonly TWIPS_PER_PX=15 # 96 DPI

for tool in Xvfb xdotool xprop sqlcipher import convert timeout; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

WORK=$(mktemp -d)
XVFB_PID=""
APP_PID=""
cleanup() {
    [[ -n $APP_PID ]] && kill "$APP_PID" 2>/dev/null || true
    [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [[ -n ${DISPLAY:-} ]]; then
        import -window root "$WORK/failure.png" 2>/dev/null && cp "$WORK/failure.png" "${TMPDIR:-/tmp}/trenix-e2e-failure.png" \
            && echo "screen at the failure: ${TMPDIR:-/tmp}/trenix-e2e-failure.png" >&2
    fi
    [[ -f $WORK/app.log ]] && { echo "--- program output:" >&2; cat "$WORK/app.log" >&2; }
    exit 1
}

# Polls a command for up to $1 tenths of a second.
wait_for() {
    local tenths=$1; shift
    for ((i = 0; i < tenths; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Newer sqlcipher prints "ok" for the key pragma.
store() { sqlcipher "$PROGRAM/trenix.dat" "PRAGMA key='$KEY'; $1" 2>/dev/null | { grep -v '^ok$' || true; }; }

# --- a fresh program folder --------------------------------------------------
PROGRAM="$WORK/program"
mkdir -p "$PROGRAM" "$WORK/home"
cp "$EXECUTABLE" "$PROGRAM/trenix"
for f in trenix.dat word_language.mdb config.dat help0{1..7}.bmp; do
    cp "$DATA/$f" "$PROGRAM/$f" || fail "data file $DATA/$f is missing"
done
chmod u+w "$PROGRAM"/*
# Three words of several characters keep the game short and every word typeable.
store "create temp table keep as select xh from zidian2 where length(cz) >= 2 order by xh limit 3;
       delete from zidian2 where xh not in (select xh from keep);" >/dev/null \
    || fail "cannot open the practice store with its key"
WORDS=$(store "select cz from zidian2 order by xh;")
[[ $(wc -l <<<"$WORDS") -eq 3 ]] || fail "the dictionary was not cut to three words: $WORDS"

TITLE=$(sqlcipher "$PROGRAM/word_language.mdb" "select CValue from CWord where ID='GLVex.caption' and Clanguage='2';")
QUESTION_TITLE=$(sqlcipher "$PROGRAM/word_language.mdb" "select CValue from CWord where ID='RJXX' and Clanguage='2';")
[[ -n $TITLE && -n $QUESTION_TITLE ]] || fail "window titles missing from the language store"

# --- a virtual screen ----------------------------------------------------------
exec 3>"$WORK/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
exec 3>&-
wait_for 100 test -s "$WORK/display" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
export DISPLAY=":$(head -n1 "$WORK/display")"

# --- the window appears with its looked-up title ---------------------------------
env -u QT_IM_MODULE -u XMODIFIERS -u QT_SCALE_FACTOR -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME \
    HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK" QT_QPA_PLATFORM=xcb LANG=C.UTF-8 \
    "$PROGRAM/trenix" >"$WORK/app.log" 2>&1 &
APP_PID=$!

find_window() { WINDOW=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1); [[ -n $WINDOW ]]; }
wait_for 150 find_window "$TITLE" || fail "no window titled '$TITLE' appeared"
MAIN=$WINDOW
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
WX=$X WY=$Y
echo "main window $MAIN at $WX,$WY"

# Clicks a tool-strip command by its left and top in twips; the client area starts
# at the window's position, since no window manager draws a frame.
click_command() {
    xdotool mousemove --sync $((WX + $1 / TWIPS_PER_PX + 12)) $((WY + $2 / TWIPS_PER_PX + 10)) click 1
}

# Light-green pixels of word labels in the play field (60, 1170, 11625, 5835 twips).
green_pixels() {
    import -window root -crop "$((11625 / TWIPS_PER_PX))x$((5835 / TWIPS_PER_PX))+$((WX + 60 / TWIPS_PER_PX))+$((WY + 1170 / TWIPS_PER_PX))" \
        "$WORK/field.png"
    convert "$WORK/field.png" -fill black +opaque '#C0FFC0' -fill white -opaque '#C0FFC0' \
        -format '%[fx:round(mean*w*h)]' info:
}
word_shown() { [[ $(green_pixels) -gt 0 ]]; }
word_gone() { [[ $(green_pixels) -eq 0 ]]; }

# The title exactly as looked up: no application name appended.
SHOWN_TITLE=$(xprop -id "$MAIN" _NET_WM_NAME | sed -n 's/^[^"]*"\(.*\)"$/\1/p')
[[ $SHOWN_TITLE == "$TITLE" ]] || fail "the window is titled '$SHOWN_TITLE', not '$TITLE'"

# --- F2 starts a game and fills the practice list ----------------------------------
xdotool windowfocus --sync "$MAIN"
xdotool key F2
practice_filled() { [[ $(store "select count(*) from trenix where flag=1;") -eq 3 ]]; }
wait_for 100 practice_filled || fail "the start command did not fill the practice list: $(store 'select count(*), sum(flag) from trenix;')"
wait_for 50 word_shown || fail "no word appeared in the play field"

# --- a typed word with Enter removes it ----------------------------------------------
# The first released word is one of the list; the others are still waiting and
# cannot match, so typing all of them hits exactly the one on the field.
while IFS= read -r word; do
    xdotool type --delay 120 -- "$word"
    xdotool key Return
done < <(store "select cz from trenix where flag=1;")
wait_for 50 word_gone || fail "the typed words did not remove the word on the field"

# --- the exit command with Yes ends the program ---------------------------------------
click_command 9270 60
wait_for 50 find_window "$QUESTION_TITLE" || fail "the exit question did not appear"
xdotool windowfocus --sync "$WINDOW"
xdotool key Return
# Our own child lingers as a zombie until it is waited for.
app_ended() { local state; state=$(ps -o stat= -p "$APP_PID") || return 0; [[ $state == Z* ]]; }
wait_for 100 app_ended || fail "the program did not end after Yes"
set +e
wait "$APP_PID"
STATUS=$?
set -e
APP_PID=""
[[ $STATUS -eq 0 ]] || fail "the program ended with status $STATUS"

# --- the game is kept, and the command line exports it ---------------------------------
KEPT=$(sqlcipher "$PROGRAM/progress.db" "select count(*) from games where hits >= 1;" 2>&1) || true
[[ $KEPT == 1 ]] || fail "the game ended by the exit command was not kept: $KEPT"
env -u DISPLAY "$PROGRAM/trenix" --export-history "$WORK/games.csv" 2>>"$WORK/app.log" \
    || fail "--export-history ended with status $?"
[[ $(wc -l <"$WORK/games.csv") -eq 2 ]] || fail "the export does not hold a header and one game: $(cat "$WORK/games.csv")"
echo "PASS"
