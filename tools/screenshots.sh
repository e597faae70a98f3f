#!/usr/bin/env bash
# Starts the real program on a virtual screen, drives it with the keyboard through analyses,
# and saves pictures of its windows into out/screenshots/.
# Usage: tools/screenshots.sh <folder with bin/orvane> <output folder>
set -euo pipefail
bin="$(cd "$1" && pwd)/bin"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    [ -n "${KEEP_WORK:-}" ] && echo "kept $work" >&2 || rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$out" "$work/data" "$work/output" "$work/config"

# Big enough data sets that the progress window stays up for a while.
for s in 1 2 3; do
    awk -v s="$s" 'BEGIN { n = 1000000; for (j = 0; j < n; ++j) { x = 200 * j / (n - 1);
        printf "%.6f %.6f\n", x, 20 + 5 * sin(x / 30 + 0.2 * s) + 0.3 * s * sin(x * 0.7) } }' \
        >"$work/data/set$s.txt"
done
cp "$root/examples/"*.txt "$work/data/"
# Eight small sets that agree more or less, for the pictures of an eight-set analysis.
for s in 1 2 3 4 5 6 7 8; do
    awk -v s="$s" 'BEGIN { n = 400; for (j = 0; j < n; ++j) { x = 200 * j / (n - 1);
        printf "%.6f %.6f\n", x, 20 + 5 * sin(x / 30 + 0.05 * s) + 0.2 * s * sin(x * 0.7) } }' \
        >"$work/data/small$s.txt"
done
{
    printf 'Type;ZVL-like;\nVersion;3.10;\nDate;09.Dec.2026;\nValues;201;\nFreq [MHz];S21 [dB];Phase [deg]\n'
    awk 'BEGIN { for (j = 0; j <= 200; ++j) { f = 100 + 4.5 * j;
        printf "%.1f;%.3f;%.2f\n", f, -3 - 0.01 * f + sin(f / 40), (f * 7) % 360 - 180 } }' | tr . ,
} >"$work/data/analyser.csv"

# A free display number, chosen by the server itself.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config"
ready=""
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && { ready=1; break; }; sleep 0.1; done
[ -n "$ready" ] || { echo "screenshots: the virtual screen did not start" >&2; exit 1; }

# The visible window whose title matches, waited for up to 60 s.
window() {
    local id=""
    for _ in $(seq 600); do
        id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)"
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || { echo "screenshots: no window \"$1\"" >&2; exit 1; }
    echo "$id"
}
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; sleep 0.3; }
shot() { sleep 0.4; import -window "$1" "$out/$2.png"; echo "$out/$2.png"; }
keys() { xdotool key --delay 80 "$@"; }
typed() { xdotool type --delay 15 "$1"; }

cd "$work"
"$bin/orvane" >"$work/orvane.log" 2>&1 &
app=$!

main="$(window '^Orvane$')"
focus "$main"
shot "$main" main-window

# Frequency domain, the menu closed: "Selection Error!", then the end question closed.
keys alt+f
shot "$main" main-window-frequency-domain
keys alt+s
menu="$(window '^FSV PROCEDURE$')"
shot "$menu" choice-menu
focus "$menu"
keys Escape
selection="$(window '^Quit Program$')"
focus "$selection"
shot "$selection" selection-error
keys Return
ended="$(window '^FSV Analysis Ended$')"
focus "$ended"
keys shift+Tab space  # "Load New Data" (closing the question would take its default, "Plot Results")

# A time-domain analysis of three sets.
main="$(window '^Orvane$')"
focus "$main"
keys alt+t alt+s
data="$(window '^Load Data$')"
for k in 1 2 3; do
    focus "$data"
    keys "alt+$k"
    chooser="$(window "^Select Dataset $k")"
    focus "$chooser"
    typed "$work/data/set$k.txt"
    keys Return
    sleep 0.5
done
# A three-column analyser export gets the preview dialog; cancelled, slot 4 stays empty.
focus "$data"
keys alt+4
chooser="$(window "^Select Dataset 4")"
focus "$chooser"
typed "$work/data/analyser.csv"
keys Return
preview="$(window '^Read Data File$')"
focus "$preview"
shot "$preview" read-preview-dialog
keys Escape
sleep 0.5
focus "$data"
shot "$data" data-loading-window
keys alt+d

folder="$(window '^Select Folder for OUTPUT Data')"
focus "$folder"
typed "$work/output"
keys Return
sleep 0.3
# The folder dialog may first enter the folder; a second Return chooses it.
if xdotool search --onlyvisible --name '^Select Folder for OUTPUT Data' >/dev/null 2>&1; then keys Return; fi

progress="$(window '^Orvane ver. 1.0.0$')"
sleep 0.3
shot "$progress" progress-window-start
sleep 1.5
shot "$progress" progress-window || true

weighting="$(window '^Compute k_ADM & k_FDM$')"
focus "$weighting"
shot "$weighting" weighting-question
keys Return
ended="$(window '^FSV Analysis Ended$')"
focus "$ended"
shot "$ended" analysis-ended-question
keys Return  # "Plot Results"

# The results window: data sets 1 and 2, a point-by-point plot, a histogram, the original data.
results="$(window '^FSV Results$')"
sleep 2.5
focus "$results"
keys alt+1 alt+2 alt+o
original="$(window '^Original Dataset$')"
shot "$original" original-data
legend="$(window '^Class Legend$')" && shot "$legend" original-data-legend || true
focus "$results"
keys alt+a
sleep 1
shot "$results" results-point-by-point
keys alt+a alt+c
sleep 1
shot "$results" results-histogram

# The colour code chart window: the three-measure chart of data sets 1 and 2.
focus "$results"
keys alt+r
chart="$(window '^FSV Colour Code Chart$')"
focus "$chart"
keys alt+1 alt+2 alt+t shift+Tab space
sleep 1
shot "$chart" colour-code-chart

# Back through the results window to the main window.
keys alt+b
results="$(window '^FSV Results$')"
focus "$results"
keys alt+b

# Eight small sets: the results window at its minimum size, and the chart of all eight.
main="$(window '^Orvane$')"
focus "$main"
keys alt+t alt+s
data="$(window '^Load Data$')"
for k in 1 2 3 4 5 6 7 8; do
    focus "$data"
    keys "alt+$k"
    chooser="$(window "^Select Dataset $k")"
    focus "$chooser"
    typed "$work/data/small$k.txt"
    keys Return
    sleep 0.4
done
focus "$data"
shot "$data" data-loading-window-8-sets
keys alt+d
folder="$(window '^Select Folder for OUTPUT Data')"
focus "$folder"
typed "$work/output"
keys Return
sleep 0.3
if xdotool search --onlyvisible --name '^Select Folder for OUTPUT Data' >/dev/null 2>&1; then keys Return; fi
weighting="$(window '^Compute k_ADM & k_FDM$')"
focus "$weighting"
keys Return
ended="$(window '^FSV Analysis Ended$')"
focus "$ended"
keys Return  # "Plot Results"
results="$(window '^FSV Results$')"
sleep 2.5
xdotool windowsize --sync "$results" 900 600 2>/dev/null || xdotool windowsize "$results" 900 600
focus "$results"
keys alt+1 alt+2 alt+3 alt+o
window '^Original Dataset$' >/dev/null
focus "$results"
keys alt+c
sleep 1
shot "$results" results-minimum-size
keys alt+c
focus "$results"
keys alt+r
chart="$(window '^FSV Colour Code Chart$')"
focus "$chart"
keys alt+1 alt+2 alt+3 alt+4 alt+5 alt+6 alt+7 alt+8 alt+t shift+Tab space
sleep 1
shot "$chart" colour-code-chart-8-sets
keys alt+b
results="$(window '^FSV Results$')"
focus "$results"
keys alt+b

# Quit ends the program.
main="$(window '^Orvane$')"
focus "$main"
keys alt+q
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then echo "screenshots: the program did not end after Quit" >&2; exit 1; fi
app=""
echo "analysis folder: $(ls "$work/output")"

# The validation report of the example analysis, as a browser shows it and as it prints.
mkdir "$work/report"
"$bin/orvane-batch" -q -d magnitude -o "$work/report" "$root/examples/measured.txt" \
    "$root/examples/simulation_a.txt" "$root/examples/simulation_b.txt" >/dev/null
report="$work/report/Frequency Domain Analysis/report.html"
browser=(chromium --headless --disable-gpu --hide-scrollbars --user-data-dir="$work/browser")
[ "$(id -u)" = 0 ] && browser+=(--no-sandbox)
"${browser[@]}" --window-size=1100,3200 --screenshot="$out/report.png" "$report" 2>/dev/null
echo "$out/report.png"
"${browser[@]}" --no-pdf-header-footer --print-to-pdf="$work/report.pdf" "$report" 2>/dev/null
if command -v pdftoppm >/dev/null; then
    pdftoppm -r 80 -png -f 1 -l 2 "$work/report.pdf" "$out/report-print"
    ls "$out"/report-print-*.png
fi
