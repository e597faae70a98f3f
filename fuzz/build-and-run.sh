#!/usr/bin/env bash
# Builds the data file parser fuzzer into build-fuzz/ and runs it.
# Usage: fuzz/build-and-run.sh [seconds]   (default 60)
# Exits non-zero when the build fails or the fuzzer finds a crash; the crashing input is
# kept in build-fuzz/artifacts/.
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
    echo "usage: $0 [seconds]" >&2
    exit 2
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build-fuzz"
mkdir -p "$out/artifacts"

clang++-14 -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I "$root/src" \
    "$root/fuzz/dlmread_fuzz.cpp" \
    "$root/src/input/dlmread.cpp" \
    "$root/src/runtime/error.cpp" \
    "$root/src/runtime/types.cpp" \
    "$root/src/runtime/text.cpp" \
    -o "$out/dlmread_fuzz"

# The fuzzer adds to its first corpus folder; work on a copy so the seeds stay as they are.
work="$(mktemp -d "${TMPDIR:-/tmp}/orvane-fuzz-corpus.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cp -R "$root/fuzz/corpus/." "$work/"

# The fuzzer reports every new find; its log goes to a file and only the summary is shown.
status=0
"$out/dlmread_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/" "$work" >"$out/fuzz.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    tail -n 60 "$out/fuzz.log" >&2
    echo "dlmread_fuzz failed (exit $status); see $out/artifacts/ and $out/fuzz.log" >&2
else
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)|DONE' "$out/fuzz.log" || true
fi
exit "$status"
