#!/usr/bin/env bash
# Builds the fuzzers into build-fuzz/ and runs each in turn:
#   dlmread_fuzz  the data file parser          seeds: fuzz/corpus/
#   matfile_fuzz  the result MAT-file readers   seeds: fuzz/matfile_corpus/
#   read_options_fuzz  Touchstone and the extended text reader   seeds: fuzz/read_options_corpus/
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

version="$(sed -n 's/^project(Orvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -I "$root/src/core"
       "-DORVANE_VERSION=\"$version\"")
# shellcheck disable=SC2207
matio_cflags=($(pkg-config --cflags matio))
# shellcheck disable=SC2207
libs=($(pkg-config --libs matio fftw3) -lz -ldl -pthread)

# The Qt-free library, instrumented, as one archive: each fuzzer links only what it uses.
objects="$out/objects"
rm -rf "$objects"
mkdir -p "$objects"
find "$root/src/core" -name '*.cpp' -print0 |
    xargs -0 -P "$(nproc 2>/dev/null || echo 2)" -I{} sh -c \
        'clang++-14 "$@" -c "{}" -o "'"$objects"'/$(echo "{}" | md5sum | cut -c1-16).o"' \
        sh "${flags[@]}" "${matio_cflags[@]}"
rm -f "$out/liborvane_core_fuzz.a"
ar rcs "$out/liborvane_core_fuzz.a" "$objects"/*.o

link() {  # link <fuzzer source> <name>
    clang++-14 "${flags[@]}" -fsanitize=fuzzer "${matio_cflags[@]}" "$1" "$out/liborvane_core_fuzz.a" "${libs[@]}" \
        -o "$out/$2"
}
link "$root/fuzz/dlmread_fuzz.cpp" dlmread_fuzz
# matio itself is not instrumented; its allocations still count against libFuzzer's limit.
link "$root/fuzz/matfile_fuzz.cpp" matfile_fuzz
link "$root/fuzz/read_options_fuzz.cpp" read_options_fuzz

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
run read_options_fuzz "$root/fuzz/read_options_corpus" || status=1
exit "$status"
