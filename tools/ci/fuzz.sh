#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang in BUILD_DIR and runs each for a
# bounded time from the committed seed corpus. Fails on any crash,
# timeout or failed check.
# Usage: tools/ci/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [SECONDS_PER_TARGET]" >&2
    exit 64
fi
build=$1
seconds=${2:-30}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
corpus_dir=$source_dir/tests/fuzz/corpus
targets="fuzz_cinifile fuzz_numberformat fuzz_settingsrules fuzz_cencryption"

cmake -S "$source_dir" -B "$build" -G Ninja \
    -DCMAKE_CXX_COMPILER="${CXX:-clang++}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTRENIX_FUZZ=ON -DTRENIX_BUILD_BENCH=OFF
cmake --build "$build" --target $targets

# New inputs go to a scratch copy; the committed corpus stays as it is.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for t in $targets; do
    mkdir -p "$work/$t"
    cp "$corpus_dir/$t"/* "$work/$t/"
    echo "== $t: ${seconds}s"
    # Qt allocates a few objects for the process lifetime; leaks are not the question here.
    if ! ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 "$build/fuzz/$t" \
            -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$build/fuzz/$t-" "$work/$t"; then
        echo "== $t FAILED; the input is in $build/fuzz/$t-*" >&2
        status=1
    fi
done
exit $status
