#!/usr/bin/env bash
# orvane-batch from the outside: exit status, stdout and stderr for good and bad input.
# Usage: cli_test.sh <orvane-batch> <examples folder>
set -u
batch="$1"
examples="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# shellcheck source=../support/checks.sh
. "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"

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
expect "usage error in GNU form" 2 "orvane-batch: --threshold: must be a number from 0 to 100" -- -t 120 "$m" "$a"
expect "version" 0 "orvane-batch 1.0.0" -- --version
expect "exit codes in the help" 0 "2  a usage error" -- --help
expect "bad domain" 2 "domain" -- -d space "$m" "$a"
expect "missing file" 1 "orvane-batch: $work/nowhere.txt: File not found." -- "$m" "$work/nowhere.txt"
expect "decreasing abscissa" 1 "orvane-batch: $work/down.txt:3: the abscissa 0.5" -- "$m" "$work/down.txt"
expect "three columns" 1 "format wrong" -- "$m" "$work/three.txt"
expect "not a number" 1 "text.txt:2: " -- "$m" "$work/text.txt"
expect "no common range" 1 "Check x-Range" -- "$work/low.txt" "$work/apart.txt"
expect "grid too large" 1 "finest spacing 0.001 over the common range [1000000, 1000000000]" -- "$work/fine.txt" "$m"
expect "grid limit lowered" 1 "limit of 1000)" -- --max-points 1000 "$m" "$a"
expect "help" 0 "--threshold" -- --help
expect "missing output folder is made" 0 "$work/made/for/it/" -- -q -o "$work/made/for/it" "$m" "$a"
expect "output folder that is a file" 1 "could not be made or is not a folder" -- -o "$work/three.txt/x" "$m" "$a"

# The default output folder is the current one; -q prints just the new sub-folder.
folder="$(cd "$work" && "$batch" -q "$m" "$a" 2>/dev/null)"
if [ -f "$folder/MagnitudeAnalysis.mat" ] && [ -f "$folder/85/GRADE_SPREAD.mat" ] && [ -f "$folder/GreadSpread_85.txt" ] \
    && [ -f "$folder/ADMc_1 magnitude.fig" ] && [ -f "$folder/85/FsvColorCodeChartADM_1_FDM_1_GDM_1_85.fig" ] \
    && [ "$(dirname "$folder")" = "$(cd "$work" && pwd)" ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1)); echo "FAILED quiet run: '$folder'"
fi

# --figures none writes no figure file; the report is written unless --no-report.
folder="$(cd "$work" && "$batch" -q --figures none "$m" "$a" 2>/dev/null)"
quiet="$(cd "$work" && "$batch" -q --figures none --no-report "$m" "$a" 2>/dev/null)"
if [ -d "$folder" ] && [ -z "$(find "$folder" -name '*.fig')" ] && [ -s "$folder/report.html" ] &&
    [ -d "$quiet" ] && [ ! -e "$quiet/report.html" ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1)); echo "FAILED --figures none: '$folder'"
fi

# --json is valid JSON with one entry per set and the average.
if (cd "$work" && "$batch" --json -d phase -t 70 "$m" "$a" "$b") >"$work/summary.json" 2>/dev/null &&
    /usr/bin/python3 - "$work/summary.json" <<'PY'
import json, os, sys
s = json.load(open(sys.argv[1]))
assert s["data_sets"] == 3 and len(s["sets"]) == 4, s
assert s["sets"][3]["role"] == "reference" and s["reference"]["kind"] == "average"
assert s["sets"][3]["gdm"]["spread_range"] == "E-E" and s["analysis"] == "phase"
assert s["threshold"] == 70 and os.path.isfile(os.path.join(s["folder"], "PhaseAnalysis.mat"))
assert os.path.isfile(os.path.join(s["folder"], "GreadSpread_70.txt"))
PY
then
    passed=$((passed + 1))
else
    failed=$((failed + 1)); echo "FAILED json summary"; cat "$work/summary.json"
fi

# Qt is loaded only to draw: the command itself links none of it.
check "no Qt in orvane-batch" bash -c "! ldd '$batch' | grep -i 'qt'"

# --figures png draws every plot and chart through the picture module, and no figure file.
folder="$(cd "$work" && "$batch" -q --figures png "$m" "$a" 2>/dev/null)"
check "--figures png" bash -c '[ "$(head -c 4 "$1/ADMc_1 magnitude.png" | tail -c 3)" = PNG ] &&
    [ "$(head -c 4 "$1/85/FsvColorCodeChartADM_1_FDM_1_GDM_1_85.png" | tail -c 3)" = PNG ] &&
    [ -z "$(find "$1" -name "*.fig")" ] && [ ! -e "$1/ANALYSIS_INCOMPLETE.txt" ]' - "$folder"

# The threshold is taken as a number and written plainly wherever it is used.
for case in "85.5 85.5" ".5 0.5" "85.000 85" "1e1 10" "0 0" "100 100"; do
    set -- $case
    folder="$(cd "$work" && "$batch" -q --figures none -t "$1" "$m" "$a" 2>/dev/null)"
    check "threshold $1" test -f "$folder/$2/GRADE_SPREAD.mat" -a -f "$folder/GreadSpread_$2.txt"
done
expect "threshold in the summary" 0 "threshold 85.25 %" -- --figures none -t 85.250 "$m" "$a"
before="$(ls "$work" | wc -l)"
for bad in " 85" "85 " $'85\n' "+85" "85%" "nan" "inf" "-1" "100.01" "1e400" "" "0x10"; do
    expect "threshold '$bad'" 2 "from 0 to 100" -- -t "$bad" "$m" "$a"
done
check "refused thresholds write nothing" test "$(ls "$work" | wc -l)" -eq "$before"

# The grid limit is a whole number from 1 up; nothing wraps around.
expect "max-grid too large" 2 "99999999999999999999999 is too large" -- --max-grid 99999999999999999999999 "$m" "$a"
expect "max-grid zero" 2 "0 must be at least 1" -- --max-grid 0 "$m" "$a"
expect "max-grid negative" 2 "must be a whole number" -- --max-grid -5 "$m" "$a"
expect "max-grid default" 0 "4194304" -- --help

# Control characters in file names are printed as escapes, never raw.
evil="$work/evil"$'\e'"[31m.txt"
cp "$a" "$evil"
expect "escaped name in the table" 0 'evil\x1b[31m.txt' -- --figures none "$m" "$evil"
expect "escaped name in a message" 1 'gone\nSet 2.txt' -- "$m" "$work/gone"$'\n'"Set 2.txt"
check "no raw escape printed" bash -c '! (cd "$1" && "$2" --figures none "$3" "$4" 2>&1) | grep -q $'"'"'\e'"'"'' - "$work" "$batch" "$m" "$evil"
rm -f "$evil"

# A write beyond the file-size limit is reported, not a signal's death.
out="$(cd "$work" && ulimit -f 4 && "$batch" --figures none "$m" "$a" 2>&1)"
check "file size limit" test $? -eq 1 -a -n "$(grep -F "file size limit exceeded" <<<"$out")"

# Qt's own messages stay out of stderr unless asked for with -v.
folder="$(cd "$work" && env -u XDG_RUNTIME_DIR "$batch" -q --figures png "$m" "$a" 2>"$work/qt.err")"
check "Qt kept quiet" test -f "$folder/ADMc_1 magnitude.png" -a ! -s "$work/qt.err"
(cd "$work" && env -u XDG_RUNTIME_DIR "$batch" -v -q --figures png "$m" "$a" >/dev/null 2>"$work/qt.err")
check "Qt heard with -v" grep -q "XDG_RUNTIME_DIR" "$work/qt.err"

# render never replaces its input, nor a file it did not make unless --force is given.
folder="$(cd "$work" && "$batch" -q "$m" "$a" 2>/dev/null)"
cp "$folder/ADMc_1 magnitude.fig" "$work/fig-as.png"
cp "$folder/ADMc_1 magnitude.fig" "$work/old.png"
cp "$folder/ADMc_1 magnitude.fig" "$work/old.fig"
expect "render refuses its input" 1 "skipped" -- render "$work/fig-as.png"
check "render kept its input" cmp -s "$work/fig-as.png" "$work/old.png"
expect "render keeps a file it did not make" 1 "old.png exists; skipped (use --force to replace it)" -- render "$work/old.fig"
check "render kept the file" cmp -s "$work/fig-as.png" "$work/old.png"
expect "render --force" 0 "old.png" -- render --force "$work/old.fig"
check "render --force drew" test "$(head -c 4 "$work/old.png" | tail -c 3)" = PNG
touch "${folder:?the png run printed no folder}/ANALYSIS_INCOMPLETE.txt"
expect "render in an incomplete folder" 0 "ANALYSIS_INCOMPLETE.txt" -- render -f svg "$folder/ADMc_1 magnitude.fig"
expect "render error from the module" 1 "three.txt: it is too short for a MAT-file" -- render "$work/three.txt"

# SIGINT stops a run at a safe point: killed by the signal, marker kept, no temporaries.
mkdir "$work/stop"
awk 'BEGIN { for (i = 0; i < 200000; i++) printf "%d %g\n", i, sin(i / 50) }' >"$work/stop/big1.txt"
awk 'BEGIN { for (i = 0; i < 200000; i++) printf "%d %g\n", i, sin(i / 50) + 0.1 * cos(i / 7) }' >"$work/stop/big2.txt"
(cd "$work/stop" && exec "$batch" -q big1.txt big2.txt >/dev/null 2>&1) &
pid=$!
# Signalled once the folder holds a result besides the marker (an empty one is removed).
for _ in $(seq 400); do [ "$(ls "$work/stop/Time Domain Analysis" 2>/dev/null | wc -l)" -ge 2 ] && break; sleep 0.05; done
kill -INT "$pid"
wait "$pid"
rc=$?
check "SIGINT" test "$rc" -eq 130 -a -f "$work/stop/Time Domain Analysis/ANALYSIS_INCOMPLETE.txt" \
    -a -z "$(find "$work/stop" -name '*.tmp')"

checks_done
