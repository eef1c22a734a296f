#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs every benchmark and prints one table: median, min and max of
# several runs per figure, with TIPP10 measured the same way in the same run.
#
#   bench/run.sh                 full run (about 10 minutes)
#   RUNS=5 IDLE_SECONDS=20 IDLE_RUNS=1 QUICK=1 bench/run.sh    a shorter look
#
# Needs Xvfb, xdotool and strace, and TIPP10 with its database driver
# (apt-get install -y tipp10 libqt6sql6-sqlite) for the comparison rows; the
# slow-disk rows need root (bench/disk.sh). Games are played on copies of the
# data files in $BUILD/bench-work, never on the build's own program folder.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
SRC=$(dirname "$HERE")
BUILD=${BUILD:-$SRC/build-bench}
RUNS=${RUNS:-9}                 # launches per program
IDLE_SECONDS=${IDLE_SECONDS:-60}
IDLE_RUNS=${IDLE_RUNS:-3}
HOLD_SECONDS=${HOLD_SECONDS:-5}
QUICK=${QUICK:-}

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$SRC" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$BUILD" --target trenix trenix_data trenix_bench trenix_launch_probe >/dev/null

BENCH=$BUILD/bench/trenix_bench
PROBE=$BUILD/bench/trenix_launch_probe
WORK=$BUILD/bench-work
RAW=$WORK/raw
rm -rf "$WORK"
mkdir -p "$WORK/app" "$RAW" "$WORK/tipp10-home"
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
# The player's own settings (language, kept range) must not change the figures.
export HOME=$WORK/home
unset XDG_CONFIG_HOME XDG_DATA_HOME
mkdir -p "$HOME"

"$BENCH" prepare "$WORK" 2>/dev/null
# The real executable with its data files beside it, as installed in one folder.
cp "$BUILD/bin/trenix" "$BUILD/bin/trenix.dat" "$BUILD/bin/word_language.mdb" "$BUILD/bin/config.dat" "$WORK/app/"
for font in "$BUILD/bin/"TrenixUI-*.otf; do [ -f "$font" ] && cp "$font" "$WORK/app/"; done
chmod u+w "$WORK/app/"*
APP=$WORK/app/trenix

# A private X server with a black root: the probe sees a window as drawn once its
# centre is no longer black.
DISPLAY_NUM=${DISPLAY_NUM:-$((90 + RANDOM % 100))}
Xvfb ":$DISPLAY_NUM" -screen 0 1280x1024x24 -br -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
trap 'kill $XVFB_PID 2>/dev/null || true' EXIT
export DISPLAY=":$DISPLAY_NUM"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

field() { sed -n "s/.*\b$1=\([-0-9.]*\).*/\1/p"; }
now_ms() { echo "${EPOCHREALTIME/./}" | awk '{printf "%.3f", $1 / 1000}'; }

HAVE_TIPP10=
if command -v tipp10 >/dev/null; then
    # Without its SQLite driver TIPP10 shows a database error box instead of its first window.
    if ls /usr/lib/*/qt6/plugins/sqldrivers/libqsqlite.so >/dev/null 2>&1; then
        HAVE_TIPP10=1
    else
        echo "TIPP10 cannot open its database (apt-get install -y libqt6sql6-sqlite): no comparison rows" >&2
    fi
fi
tipp10_probe() { HOME=$WORK/tipp10-home "$PROBE" "$@" -- tipp10 2>/dev/null; }

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)" >"$RAW/load"

# --- Launch to first paint, and the settled window's memory --------------------
# One warm-up each (TIPP10 creates its user database on its first start).
QT_QPA_PLATFORM=offscreen TRENIX_QUIT_AFTER_FIRST_PAINT=1 "$APP" 2>/dev/null || true
"$PROBE" -- "$APP" >/dev/null 2>&1 || true
if [ -n "$HAVE_TIPP10" ]; then tipp10_probe --settle 1 >/dev/null; fi
for _ in $(seq "$RUNS"); do
    t0=$(now_ms)
    QT_QPA_PLATFORM=offscreen TRENIX_QUIT_AFTER_FIRST_PAINT=1 "$APP" 2>/dev/null
    t1=$(now_ms)
    awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.1f\n", b - a}' >>"$RAW/launch.offscreen"
    TRENIX_QUIT_AFTER_FIRST_PAINT=1 "$PROBE" --wait-exit -- "$APP" | field exit_ms >>"$RAW/launch.xvfb.exit"
    line=$("$PROBE" --settle 2 -- "$APP")
    echo "$line" | field paint_ms >>"$RAW/launch.xvfb.paint"
    echo "$line" | field cpu_at_paint_ms >>"$RAW/launch.xvfb.cpu"
    echo "$line" | field hwm_paint_kb >>"$RAW/rss.paint"
    echo "$line" | field hwm_kb >>"$RAW/rss.window"
    "$PROBE" -- "$BENCH" blank | field paint_ms >>"$RAW/blank.paint"
    if [ -n "$HAVE_TIPP10" ]; then
        line=$(tipp10_probe --settle 3)
        echo "$line" | field paint_ms >>"$RAW/tipp10.paint"
        echo "$line" | field cpu_at_paint_ms >>"$RAW/tipp10.cpu"
        echo "$line" | field hwm_paint_kb >>"$RAW/tipp10.rss.paint"
        echo "$line" | field hwm_kb >>"$RAW/tipp10.rss"
    fi
done

# --- The first start after launch against the next ones --------------------------
# In-process: a fresh process each time, the window shown and idle for 1 s.
for _ in $(seq "$RUNS"); do
    line=$("$BENCH" cold "$WORK/real" 1000 2>/dev/null)
    echo "$line" | field first_cpu_ms >>"$RAW/cold.first"
    echo "$line" | field warm_cpu_ms >>"$RAW/cold.warm"
    "$BENCH" cold "$WORK/real" 1000 --unprepared 2>/dev/null | field first_cpu_ms >>"$RAW/cold.unprepared"
done
# From outside: the real executable idle for 2 s, a click on the start command, the
# CPU of the next 4 s; then a second click (a warm start) and its 4 s.
CLICK='xdotool mousemove --window "$PROBE_WIN" 200 15 click 1'
for _ in $(seq "$RUNS"); do
    line=$("$PROBE" --idle 2 --then "$CLICK" --settle 4 --again "$CLICK" -- "$APP")
    echo "$line" | field cpu_then_ms >>"$RAW/cold.outside.first"
    echo "$line" | field cpu_again_ms >>"$RAW/cold.outside.warm"
    echo "$line" | field hwm_kb >>"$RAW/rss.twogames"
done

# --- In-process figures: start, tick, Enter, repaint ----------------------------
"$BENCH" timings "$WORK" ${QUICK:+--quick} 2>/dev/null >"$RAW/timings.tsv"

# --- The history with 10,000 games: recording, the progress window, the export ----
cmake --build "$BUILD" --target trenix_bench_progress >/dev/null
"$BUILD/bench/trenix_bench_progress" "$WORK/progress" ${QUICK:+--quick} 2>/dev/null >"$RAW/progress.tsv"

# --- Word sets: importing 10,000 words, a game over a 10,000-word list, 50 lists ----
cmake --build "$BUILD" --target trenix_bench_sets >/dev/null
"$BUILD/bench/trenix_bench_sets" "$WORK/sets" ${QUICK:+--quick} 2>/dev/null >"$RAW/sets.tsv"

# --- The disk: syncs per minute of play and the writes' wall time -----------------
"$HERE/disk.sh" "$BENCH" "$WORK" "$([ -n "$QUICK" ] && echo 30 || echo 60)" >"$RAW/disk.tsv" 2>"$RAW/disk.err" || true

# --- Peak memory of running games, in-process (offscreen) -----------------------
for _ in 1 2 3; do
    "$BENCH" hold "$WORK/real" 1 999 "$HOLD_SECONDS" 2>/dev/null | field hwm_kb >>"$RAW/rss.hold999"
    "$BENCH" hold "$WORK/big" 1 30000 "$HOLD_SECONDS" 2>/dev/null | field hwm_kb >>"$RAW/rss.hold30000"
done

# --- CPU between ticks of a running game: the real executable under Xvfb --------
# The click lands on the start command (its label sits at 158..243 x 4..27 px).
for _ in $(seq "$IDLE_RUNS"); do
    line=$("$PROBE" --then 'xdotool mousemove --window "$PROBE_WIN" 200 15 click 1' \
        --settle 2 --measure "$IDLE_SECONDS" -- "$APP")
    then_ms=$(echo "$line" | field cpu_then_ms)
    if awk -v c="$then_ms" 'BEGIN{exit !(c < 3)}'; then
        echo "warning: the click seems not to have started a game ($line)" >&2
    fi
    echo "$line" | field sched_cpu_pct >>"$RAW/idle.cpu"
    echo "$line" | field hwm_kb >>"$RAW/rss.game999"
done
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)" >>"$RAW/load"

# --- The table --------------------------------------------------------------------
stats() { # file scale -> median min max n
    sort -g "$1" | awk -v s="$2" '{v[NR]=$1*s} END{
        if (NR == 0) { print "-", "-", "-", 0; exit }
        m = NR % 2 ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2
        printf "%.3f %.3f %.3f %d\n", m, v[1], v[NR], NR }'
}
tsv() { # key -> median min max n
    awk -F'\t' -v k="$1" '$1 == k {printf "%s %s %s %s\n", $3, $4, $5, $7}' "$RAW/timings.tsv"
}
median_of() { echo "$1" | cut -d' ' -f1; }

printf '%-58s %10s %10s %10s %5s  %s\n' "Figure" "median" "min" "max" "runs" "target"
line() { # label unit "median min max n" target
    local m lo hi n
    read -r m lo hi n <<<"$3"
    printf '%-58s %10s %10s %10s %5s  %s\n' "$1 [$2]" "$m" "$lo" "$hi" "$n" "$4"
}
row() { line "$(awk -F'\t' -v k="$1" '$1 == k {print $2}' "$RAW/timings.tsv")" ms "$(tsv "$1")" "$2"; }

ratio() { # label a b target: the ratio of two medians
    awk -v l="$1" -v a="$(median_of "$2")" -v b="$(median_of "$3")" -v t="$4" \
        'BEGIN{printf "%-58s %10.2f %10s %10s %5s  %s\n", l, a / b, "", "", "", t}'
}
L_OFF=$(stats "$RAW/launch.offscreen" 1)
L_EXIT=$(stats "$RAW/launch.xvfb.exit" 1)
L_PAINT=$(stats "$RAW/launch.xvfb.paint" 1)
line "launch to exit after first paint, offscreen" ms "$L_OFF" "<= 300"
line "launch to exit after first paint, Xvfb" ms "$L_EXIT" ""
line "launch to first drawn window, Xvfb (probe)" ms "$L_PAINT" "<= 300"
line "  CPU until then, all threads" ms "$(stats "$RAW/launch.xvfb.cpu" 1)" ""
if [ -n "$HAVE_TIPP10" ]; then
    T_PAINT=$(stats "$RAW/tipp10.paint" 1)
    line "TIPP10: launch to first drawn window, Xvfb (probe)" ms "$T_PAINT" ""
    line "  CPU until then, all threads" ms "$(stats "$RAW/tipp10.cpu" 1)" ""
    ratio "launch ratio Trenix / TIPP10 (medians)" "$L_PAINT" "$T_PAINT" "<= 1.0"
fi
line "empty Qt Widgets window: launch to first drawn window" ms "$(stats "$RAW/blank.paint" 1)" ""
KB=0.0009765625
R_PAINT=$(stats "$RAW/rss.paint" $KB)
line "peak RSS at the first window (when first drawn), Xvfb" MB "$R_PAINT" ""
if [ -n "$HAVE_TIPP10" ]; then
    T_RSS_PAINT=$(stats "$RAW/tipp10.rss.paint" $KB)
    line "TIPP10: peak RSS at its first window (when first drawn)" MB "$T_RSS_PAINT" ""
    ratio "memory ratio Trenix / TIPP10 at the first window" "$R_PAINT" "$T_RSS_PAINT" "<= 1.0"
fi
line "peak RSS 2 s later: store open, next start prepared" MB "$(stats "$RAW/rss.window" $KB)" ""
if [ -n "$HAVE_TIPP10" ]; then
    line "TIPP10: peak RSS 3 s after its first window" MB "$(stats "$RAW/tipp10.rss" $KB)" ""
fi
C_FIRST=$(stats "$RAW/cold.first" 1)
C_WARM=$(stats "$RAW/cold.warm" 1)
line "first start after launch, 999 words, CPU (in-process)" ms "$C_FIRST" ""
line "the next starts, CPU (in-process)" ms "$C_WARM" ""
ratio "cold / warm start (in-process, medians)" "$C_FIRST" "$C_WARM" "<= 1.5"
line "first start without the idle-time preparation, CPU" ms "$(stats "$RAW/cold.unprepared" 1)" ""
O_FIRST=$(stats "$RAW/cold.outside.first" 1)
O_WARM=$(stats "$RAW/cold.outside.warm" 1)
line "first click on start, CPU of the next 4 s (outside)" ms "$O_FIRST" ""
line "second click on start, CPU of the next 4 s (outside)" ms "$O_WARM" ""
ratio "cold / warm start (outside, medians)" "$O_FIRST" "$O_WARM" "<= 1.5"
row startup.storeopen ""; row startup.prepare ""
row startup.window.first ""; row startup.window ""
for n in 100 999 5000 30000; do
    row "start$n.store" "$([ $n = 999 ] && echo '<= 30')"
    row "start$n.labels" ""
    row "start$n.measure" ""
    row "start$n.repaint" ""
    row "start$n.total" "$([ $n = 30000 ] && echo '<= 3000')"
    row "start$n.cpu" "$([ $n = 999 ] && echo '<= 100')"
done
row start999.window "" ; row start999.window.cpu ""
row start999.big.cpu "~ start999.cpu"; row start999.high.cpu "~ start999.cpu"
row start999.big.store ""; row start999.high.store ""
row tick "<= 1"; row tick.landing "<= 1"
row enter.hit "<= 1"; row enter.miss "<= 1"
row paint.field ""
line "CPU of a running game over ${IDLE_SECONDS} s, Xvfb" "% of a core" "$(stats "$RAW/idle.cpu" 1)" "< 0.5"
line "peak RSS, 999-word game, real executable, Xvfb" MB "$(stats "$RAW/rss.game999" 0.0009765625)" "<= 60"
line "peak RSS, 999-word game, in-process, offscreen" MB "$(stats "$RAW/rss.hold999" 0.0009765625)" "<= 60"
line "peak RSS, 30000-word game, in-process, offscreen" MB "$(stats "$RAW/rss.hold30000" 0.0009765625)" ""
line "peak RSS after two starts of 999 words, Xvfb" MB "$(stats "$RAW/rss.twogames" $KB)" ""
while IFS=$'\t' read -r key label m lo hi unit n; do
    target=""
    case $key in
        progress.record) target="<= 5" ;; progress.window) target="<= 150" ;; progress.export) target="<= 1000" ;;
        sets.import) target="<= 1000" ;; sets.start.cpu) target="<= 150" ;; sets.settings) target="<= 50" ;;
        disk.wal.write | disk.slow.wal.write) target="median <= 16" ;;
    esac
    line "$label" "$unit" "$m $lo $hi $n" "$target"
done < <(cat "$RAW/progress.tsv" "$RAW/sets.tsv" "$RAW/disk.tsv")
cat "$RAW/load"
echo "raw figures: $RAW/"
