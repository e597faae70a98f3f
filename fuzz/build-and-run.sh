#!/usr/bin/env bash
# Builds the fuzzers into build-fuzz/ and runs each in turn:
#   dlmread_fuzz  the data file parser          seeds: fuzz/corpus/
#   matfile_fuzz  the result MAT-file readers   seeds: fuzz/matfile_corpus/
# Usage: fuzz/build-and-run.sh [seconds per fuzzer]   (default 60)
# Exits non-zero when a build fails or a fuzzer finds a crash; the crashing input is kept
# in build-fuzz/artifacts/ (named after the fuzzer), the full log in build-fuzz/<fuzzer>.log.
#
# The MAT-file seeds are small result files (N_DATA = 2) written by this program and by
# GNU Octave (-v6, -v7), and damaged copies of them; `result_files_tool seeds <folder>`
# (tests/app) writes the program's own ones again.
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
    echo "usage: $0 [seconds]" >&2
    exit 2
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build-fuzz"
mkdir -p "$out/artifacts"

flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I "$root/src")
runtime=("$root/src/runtime/error.cpp" "$root/src/runtime/types.cpp")

clang++-14 "${flags[@]}" \
    "$root/fuzz/dlmread_fuzz.cpp" \
    "$root/src/input/dlmread.cpp" \
    "$root/src/runtime/text.cpp" \
    "${runtime[@]}" \
    -o "$out/dlmread_fuzz"

# matio itself is not instrumented; its allocations still count against libFuzzer's limit.
# shellcheck disable=SC2046
clang++-14 "${flags[@]}" $(pkg-config --cflags matio) \
    "$root/fuzz/matfile_fuzz.cpp" \
    "$root/src/app/result_files.cpp" \
    "$root/src/app/result_reader.cpp" \
    "$root/src/app/result_scan.cpp" \
    "$root/src/app/mat_io.cpp" \
    "$root/src/plot/figure.cpp" \
    "$root/src/plot/figure_file.cpp" \
    "${runtime[@]}" \
    $(pkg-config --libs matio) \
    -o "$out/matfile_fuzz"

# Each fuzzer adds to its first corpus folder; it works on a copy so the seeds stay as they are.
work="$(mktemp -d "${TMPDIR:-/tmp}/orvane-fuzz-corpus.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# Runs one fuzzer; its log goes to a file and only the summary is shown.
run() {
    local name="$1" seeds="$2" status=0
    mkdir -p "$work/$name"
    cp -R "$seeds/." "$work/$name/"
    "$out/$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$out/artifacts/$name-" "$work/$name" >"$out/$name.log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$out/$name.log" >&2
        echo "$name failed (exit $status); see $out/artifacts/ and $out/$name.log" >&2
    else
        grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)|DONE' \
            "$out/$name.log" | sed "s/^/$name: /" || true
    fi
    return "$status"
}

status=0
run dlmread_fuzz "$root/fuzz/corpus" || status=1
run matfile_fuzz "$root/fuzz/matfile_corpus" || status=1
exit "$status"
