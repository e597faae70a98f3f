#!/usr/bin/env bash
# orvane-batch from the outside: exit status, stdout and stderr for good and bad input.
# Usage: cli_test.sh <orvane-batch> <examples folder>
set -u
batch="$1"
examples="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# expect <name> <exit status> <text that stdout+stderr must contain> -- <arguments…>
expect() {
    local name="$1" status="$2" text="$3"
    shift 4
    local out rc
    out="$(cd "$work" && "$batch" "$@" 2>&1)"
    rc=$?
    if [ "$rc" -eq "$status" ] && grep -qF -- "$text" <<<"$out"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED %s: exit %s (wanted %s), output:\n%s\n' "$name" "$rc" "$status" "$out"
    fi
}

m="$examples/measured.txt"
a="$examples/simulation_a.txt"
b="$examples/simulation_b.txt"
printf '0 1\n1 2\n0.5 3\n2 4\n' >"$work/down.txt"
printf '0 1 2\n1 2 3\n' >"$work/three.txt"
printf '0 1\n1 x\n' >"$work/text.txt"
printf '5 1\n6 2\n7 3\n' >"$work/apart.txt"
printf '0 1\n1 2\n2 3\n' >"$work/low.txt"
printf '1e6 1\n1.000000001e6 2\n1e9 3\n' >"$work/fine.txt"

expect "three sets" 0 "Set 4: average" -- "$m" "$a" "$b"
expect "average is perfect" 0 "avg  GDM      0.000000      1  E           1  E-E" -- "$m" "$a" "$b"
expect "phase, no weighting" 0 "frequency-domain phase analysis, threshold 90 %, GDM weighting no" -- -d phase -t 90 -w no "$m" "$a"
expect "one file" 2 "files" -- "$m"
expect "nine files" 2 "files" -- "$m" "$m" "$m" "$m" "$m" "$m" "$m" "$m" "$m"
expect "bad threshold" 2 "from 0 to 100" -- -t 120 "$m" "$a"
expect "bad domain" 2 "domain" -- -d space "$m" "$a"
expect "missing file" 1 "nowhere.txt: File not found." -- "$m" "$work/nowhere.txt"
expect "decreasing abscissa" 1 "down.txt, line 3" -- "$m" "$work/down.txt"
expect "three columns" 1 "format wrong" -- "$m" "$work/three.txt"
expect "not a number" 1 "text.txt, line 2" -- "$m" "$work/text.txt"
expect "no common range" 1 "Check x-Range" -- "$work/low.txt" "$work/apart.txt"
expect "grid too large" 1 "finest spacing 0.001 over the common range [1000000, 1000000000]" -- "$work/fine.txt" "$m"
expect "grid limit lowered" 1 "limit of 1000)" -- --max-points 1000 "$m" "$a"
expect "help" 0 "--threshold" -- --help
expect "missing output folder" 1 "does not exist" -- -o "$work/nowhere" "$m" "$a"

# The default output folder is the current one; -q prints just the new sub-folder.
folder="$(cd "$work" && "$batch" -q "$m" "$a" 2>/dev/null)"
if [ -f "$folder/MagnitudeAnalysis.mat" ] && [ -f "$folder/85/GRADE_SPREAD.mat" ] && [ -f "$folder/GreadSpread_85.txt" ] \
    && [ -f "$folder/ADMc_1 magnitude.fig" ] && [ -f "$folder/85/FsvColorCodeChartADM_1_FDM_1_GDM_1_85.fig" ] \
    && [ "$(dirname "$folder")" = "$(cd "$work" && pwd)" ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1)); echo "FAILED quiet run: '$folder'"
fi

# --figures none writes no figure file.
folder="$(cd "$work" && "$batch" -q --figures none "$m" "$a" 2>/dev/null)"
if [ -d "$folder" ] && [ -z "$(find "$folder" -name '*.fig')" ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1)); echo "FAILED --figures none: '$folder'"
fi

# --json is valid JSON with one entry per set and the average.
if (cd "$work" && "$batch" --json -d phase -t 70 "$m" "$a" "$b") >"$work/summary.json" 2>/dev/null &&
    /usr/bin/python3 - "$work/summary.json" <<'PY'
import json, os, sys
s = json.load(open(sys.argv[1]))
assert s["N_DATA"] == 3 and len(s["sets"]) == 4, s
assert s["sets"][3]["average"] and s["sets"][3]["GDM"]["spread_range"] == "E-E"
assert s["threshold"] == "70" and os.path.isfile(os.path.join(s["folder"], "PhaseAnalysis.mat"))
assert os.path.isfile(os.path.join(s["folder"], "GreadSpread_70.txt"))
PY
then
    passed=$((passed + 1))
else
    failed=$((failed + 1)); echo "FAILED json summary"; cat "$work/summary.json"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
