#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the practice store asks of the disk during play: syncs per minute and the
# wall time of the writes (a landing or a hit, one transaction each), on the
# program's write-ahead journal and on the rollback journal the store is built
# with; on this machine's disk and, as root, on an emulated slow disk: a loop
# device whose writes a blkio cgroup holds to 50 a second (an SD card, a busy
# hard disk). Prints rows: key label median min max unit runs (tab-separated).
#
#   bench/disk.sh HELPER WORK [SECONDS]   HELPER: trenix_bench_helper; WORK: a folder with real/
set -euo pipefail
HELPER=$1
WORK=$2
SECONDS_PLAYED=${3:-60}
command -v strace >/dev/null || { echo "disk.sh: strace is missing; no disk figures" >&2; exit 0; }

# Syncs of the bench's process for SECONDS of play: folder journal seconds
syncs() {
    local out n
    out=$(mktemp)
    strace -f -qq -c -e trace=fsync,fdatasync -o "$out" "$HELPER" play "$1" "$3" ${2:+--rollback} >"$out.line" 2>/dev/null
    n=$(awk '$NF == "fsync" || $NF == "fdatasync" {n += $4} END {print n + 0}' "$out")
    cat "$out.line" >&2
    rm -f "$out" "$out.line"
    echo "$n"
}

# key label folder journal
play() {
    local key=$1 label=$2 folder=$3 journal=$4 line setup total
    syncs "$folder" "$journal" 0 >/dev/null 2>&1 # the journal switched once, as a program's first run does
    setup=$(syncs "$folder" "$journal" 0 2>/dev/null)
    line=$( { total=$(syncs "$folder" "$journal" "$SECONDS_PLAYED" 2>&3); echo "total=$total"; } 3>&1 )
    total=$(echo "$line" | sed -n 's/^total=//p')
    field() { echo "$line" | sed -n "s/.*\b$1=\([-0-9.]*\).*/\1/p" | head -1; }
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$key.syncs" \
        "$label: syncs per minute of play ($(field landings) landings, $(field hits) hits)" \
        "$(awk -v n="$((total - setup))" -v s="$SECONDS_PLAYED" 'BEGIN{printf "%.0f", n * 60 / s}')" - - "syncs/min" 1
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$key.write" "$label: a landing or a hit, wall" \
        "$(field write_ms_median)" "$(field write_ms_min)" "$(field write_ms_max)" ms "$(field writes)"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$key.p99" "$label: a landing or a hit, 99th percentile" \
        "$(field write_ms_p99)" - - ms "$(field writes)"
}

rm -rf "$WORK/disk" && mkdir -p "$WORK/disk"
cp -r "$WORK/real" "$WORK/disk/wal" && cp -r "$WORK/real" "$WORK/disk/rollback"
play disk.wal "this disk, write-ahead journal" "$WORK/disk/wal" ""
play disk.rollback "this disk, rollback journal" "$WORK/disk/rollback" rollback

# The slow disk needs root, a free loop device and the blkio controller.
BLKIO=/sys/fs/cgroup/blkio
if [ "$(id -u)" -ne 0 ] || [ ! -w "$BLKIO" ] || ! command -v losetup >/dev/null; then
    echo "disk.sh: no slow disk here (needs root, losetup and the cgroup v1 blkio controller)" >&2
    exit 0
fi
IMG=$WORK/disk/slow.img MNT=$WORK/disk/slow CG=$BLKIO/trenix-bench-slow-disk
truncate -s 64M "$IMG" && mkfs.ext4 -q -F "$IMG" && mkdir -p "$MNT"
LOOP=$(losetup --find --show "$IMG")
cleanup() {
    umount "$MNT" 2>/dev/null || true
    losetup -d "$LOOP" 2>/dev/null || true
    rmdir "$CG" 2>/dev/null || true
}
trap cleanup EXIT
mount "$LOOP" "$MNT"
mkdir -p "$CG"
echo "$(cat /sys/block/"$(basename "$LOOP")"/dev) 50" >"$CG/blkio.throttle.write_iops_device"
cp -r "$WORK/real" "$MNT/wal" && cp -r "$WORK/real" "$MNT/rollback" && sync
slow() { # runs play in the throttled group
    (echo "$BASHPID" >"$CG/cgroup.procs" && play "$@")
}
slow disk.slow.wal "slow disk, write-ahead journal" "$MNT/wal" ""
slow disk.slow.rollback "slow disk, rollback journal" "$MNT/rollback" rollback
