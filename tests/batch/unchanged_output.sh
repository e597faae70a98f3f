#!/usr/bin/env bash
# Every output file of two small analyses (time domain with three sets, phase with two) is
# byte for byte what the manifests record; MAT-files and figure files are compared without
# their header text, which holds the creation date. A change of any result, report layout,
# figure or MAT variable shows here; when one is meant, write the manifests again with
#   tools/compare_analysis_folders.py --manifest FOLDER > tests/batch/unchanged_output/<case>.manifest
# Usage: unchanged_output.sh ORVANE_BATCH SOURCE_ROOT
set -euo pipefail
batch="$1"
root="$2"
here="$root/tests/batch/unchanged_output"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python=/usr/bin/python3
[ -x "$python" ] || python=python3

cd "$here/data"
mkdir "$work/time" "$work/phase"
"$batch" -d time -o "$work/time" -q measured.txt solver_a.txt solver_b.txt >/dev/null
"$batch" -d phase -o "$work/phase" -q phase_measured.txt phase_model.txt >/dev/null

status=0
"$python" "$root/tools/compare_analysis_folders.py" --check "$here/time.manifest" "$work/time/Time Domain Analysis" || status=1
"$python" "$root/tools/compare_analysis_folders.py" --check "$here/phase.manifest" \
    "$work/phase/Frequency Domain Analysis" || status=1
exit "$status"
