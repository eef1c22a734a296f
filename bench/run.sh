#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs every benchmark and prints one table: median, min and max of
# several runs per figure, with TIPP10 measured the same way in the same run.
# The in-process figures come from trenix_bench (Google Benchmark, JSON output,
# one entry per repetition); the others from outside the process.
#
#   bench/run.sh                 full run (about 10 minutes)
#   RUNS=5 IDLE_SECONDS=20 IDLE_RUNS=1 QUICK=1 bench/run.sh    a shorter look
#
# Needs Xvfb, xdotool, strace and python3, and TIPP10 with its database driver
# (apt-get install -y tipp10 libqt6sql6-sqlite) for the comparison rows; the
# slow-disk rows need root (bench/disk.sh). Games are played on copies of the
# data files in $BUILD/bench-work, never on the build's own program folder.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
SRC=$(dirname "$HERE")
BUILD=${BUILD:-$SRC/build-bench}
QUICK=${QUICK:-}
RUNS=${RUNS:-9}                 # launches per program, and fresh processes for the first start
REPS=${REPS:-$([ -n "$QUICK" ] && echo 3 || echo 9)}          # repetitions of each in-process benchmark
MIN_TIME=${MIN_TIME:-$([ -n "$QUICK" ] && echo 0.1 || echo 0.5)} # seconds each repetition runs at least
IDLE_SECONDS=${IDLE_SECONDS:-60}
IDLE_RUNS=${IDLE_RUNS:-3}
HOLD_SECONDS=${HOLD_SECONDS:-5}

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$SRC" -B "$BUILD" $(command -v ninja >/dev/null && echo -G Ninja) \
        -DCMAKE_BUILD_TYPE=Release -DTRENIX_BUILD_BENCH=ON >/dev/null
fi
TARGETS=(trenix trenix_data trenix_bench_helper trenix_launch_probe)
HAVE_GBENCH=
if grep -Eq '^TRENIX_HAVE_BENCHMARK:INTERNAL=(1|ON|TRUE|YES)$' "$BUILD/CMakeCache.txt"; then
    HAVE_GBENCH=1
    TARGETS+=(trenix_bench)
else
    echo "Google Benchmark is missing (apt-get install -y libbenchmark-dev): no in-process figures" >&2
fi
cmake --build "$BUILD" --target "${TARGETS[@]}" >/dev/null

HELPER=$BUILD/bench/trenix_bench_helper
GBENCH=$BUILD/bench/trenix_bench
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

"$HELPER" prepare "$WORK" 2>/dev/null
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
    "$PROBE" -- "$HELPER" blank | field paint_ms >>"$RAW/blank.paint"
    if [ -n "$HAVE_TIPP10" ]; then
        line=$(tipp10_probe --settle 3)
        echo "$line" | field paint_ms >>"$RAW/tipp10.paint"
        echo "$line" | field cpu_at_paint_ms >>"$RAW/tipp10.cpu"
        echo "$line" | field hwm_paint_kb >>"$RAW/tipp10.rss.paint"
        echo "$line" | field hwm_kb >>"$RAW/tipp10.rss"
    fi
done

# --- The first start after launch against the next ones --------------------------
# In-process (trenix_bench's cold/ benchmarks): a fresh process each time, the
# window shown and idle for 1 s, then the first start and four more.
# gbench NAME ARGS: trenix_bench once, its JSON kept; a failed benchmark stops everything.
gbench() {
    local out=$RAW/gbench-$1.json
    shift
    if ! "$GBENCH" --trenix_work="$WORK/gbench" --benchmark_format=json "$@" >"$out" 2>>"$RAW/gbench.err"; then
        echo "trenix_bench $* failed:" >&2
        grep '^trenix_bench: ' "$RAW/gbench.err" >&2 || tail -5 "$RAW/gbench.err" >&2
        exit 1
    fi
}
if [ -n "$HAVE_GBENCH" ]; then
    for i in $(seq "$RUNS"); do
        gbench "cold-$i" --benchmark_filter='^cold/(window|first_start|next_start)/'
        gbench "cold-unprepared-$i" --benchmark_filter='^cold/first_start_unprepared/'
    done
fi
# From outside: the real executable idle for 2 s, a click on the start command, the
# CPU of the next 4 s; then a second click (a warm start) and its 4 s.
CLICK='xdotool mousemove --window "$PROBE_WIN" 200 15 click 1'
for _ in $(seq "$RUNS"); do
    line=$("$PROBE" --idle 2 --then "$CLICK" --settle 4 --again "$CLICK" -- "$APP")
    echo "$line" | field cpu_then_ms >>"$RAW/cold.outside.first"
    echo "$line" | field cpu_again_ms >>"$RAW/cold.outside.warm"
    echo "$line" | field hwm_kb >>"$RAW/rss.twogames"
done

# --- In-process figures: start-up, start, tick, Enter, history, word sets ----------
if [ -n "$HAVE_GBENCH" ]; then
    gbench main --benchmark_repetitions="$REPS" --benchmark_min_time="$MIN_TIME"
    # One line per repetition (or per fresh process) and value: name, field, ms.
    python3 - "$RAW"/gbench-*.json >"$RAW/gbench.tsv" <<'EOF'
import json, re, sys
to_ms = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
suffixes = re.compile(r"(/(iterations:\d+|repeats:\d+|min_time:[0-9.]+|process_time|real_time|manual_time))+$")
for path in sys.argv[1:]:
    for b in json.load(open(path))["benchmarks"]:
        name = suffixes.sub("", b["run_name"])
        if b.get("error_occurred"):
            sys.exit(f"{path}: {name}: {b.get('error_message')}")
        if b.get("run_type") != "iteration":
            continue  # the library's own aggregates: median, min and max are taken below
        print(f"{name}\tcpu\t{b['cpu_time'] * to_ms[b['time_unit']]}")
        print(f"{name}\twall\t{b['real_time'] * to_ms[b['time_unit']]}")
        for key, value in b.items():
            if key.endswith("_ms"):
                print(f"{name}\t{key}\t{value}")
EOF
    "$GBENCH" --rows >"$RAW/gbench.rows"
fi

# --- The disk: syncs per minute of play and the writes' wall time -----------------
"$HERE/disk.sh" "$HELPER" "$WORK" "$([ -n "$QUICK" ] && echo 30 || echo 60)" >"$RAW/disk.tsv" 2>"$RAW/disk.err" || true

# --- Peak memory of running games, in-process (offscreen) -----------------------
for _ in 1 2 3; do
    "$HELPER" hold "$WORK/real" 1 999 "$HOLD_SECONDS" 2>/dev/null | field hwm_kb >>"$RAW/rss.hold999"
    "$HELPER" hold "$WORK/big" 1 30000 "$HOLD_SECONDS" 2>/dev/null | field hwm_kb >>"$RAW/rss.hold30000"
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
stats() { # file scale [decimals] -> median min max n
    sort -g "$1" | awk -v s="$2" -v d="${3:-3}" '{v[NR]=$1*s} END{
        if (NR == 0) { print "-", "-", "-", 0; exit }
        m = NR % 2 ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2
        f = "%." d "f %." d "f %." d "f %d\n"
        printf f, m, v[1], v[NR], NR }'
}
gb() { # trenix_bench's name field -> median min max n, over repetitions and fresh processes
    awk -F'\t' -v n="$1" -v f="$2" '$1 == n && $2 == f {print $3}' "$RAW/gbench.tsv" >"$RAW/gbench.values"
    stats "$RAW/gbench.values" 1 4
}
median_of() { echo "$1" | cut -d' ' -f1; }

printf '%-58s %10s %10s %10s %5s  %s\n' "Figure" "median" "min" "max" "runs" "target"
line() { # label unit "median min max n" target
    local m lo hi n
    read -r m lo hi n <<<"$3"
    printf '%-58s %10s %10s %10s %5s  %s\n' "$1 [$2]" "$m" "$lo" "$hi" "$n" "$4"
}
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
# trenix_bench's rows as it names them: name, field, figure, target.
gbrow() { line "$3" ms "$(gb "$1" "$2")" "$4"; }
FIRST_ROWS='^cold/(first_start|next_start|first_start_unprepared)\t'
if [ -n "$HAVE_GBENCH" ]; then
    while IFS=$'\t' read -r name field figure target; do
        gbrow "$name" "$field" "$figure" "$target"
        [ "$name" = cold/next_start ] &&
            ratio "cold / warm start (in-process, medians)" "$(gb cold/first_start cpu)" "$(gb cold/next_start cpu)" "<= 1.5"
    done < <(grep -P "$FIRST_ROWS" "$RAW/gbench.rows")
fi
O_FIRST=$(stats "$RAW/cold.outside.first" 1)
O_WARM=$(stats "$RAW/cold.outside.warm" 1)
line "first click on start, CPU of the next 4 s (outside)" ms "$O_FIRST" ""
line "second click on start, CPU of the next 4 s (outside)" ms "$O_WARM" ""
ratio "cold / warm start (outside, medians)" "$O_FIRST" "$O_WARM" "<= 1.5"
if [ -n "$HAVE_GBENCH" ]; then
    while IFS=$'\t' read -r name field figure target; do
        gbrow "$name" "$field" "$figure" "$target"
    done < <(grep -vP "$FIRST_ROWS" "$RAW/gbench.rows")
fi
line "CPU of a running game over ${IDLE_SECONDS} s, Xvfb" "% of a core" "$(stats "$RAW/idle.cpu" 1)" "< 0.5"
line "peak RSS, 999-word game, real executable, Xvfb" MB "$(stats "$RAW/rss.game999" $KB)" "<= 60"
line "peak RSS, 999-word game, in-process, offscreen" MB "$(stats "$RAW/rss.hold999" $KB)" "<= 60"
line "peak RSS, 30000-word game, in-process, offscreen" MB "$(stats "$RAW/rss.hold30000" $KB)" ""
line "peak RSS after two starts of 999 words, Xvfb" MB "$(stats "$RAW/rss.twogames" $KB)" ""
while IFS=$'\t' read -r key label m lo hi unit n; do
    target=""
    case $key in disk.wal.write | disk.slow.wal.write) target="median <= 16" ;; esac
    line "$label" "$unit" "$m $lo $hi $n" "$target"
done <"$RAW/disk.tsv"
cat "$RAW/load"
echo "raw figures: $RAW/"
