#!/usr/bin/env bash
# The installed programs, away from the build tree: installs into a temporary prefix, then runs
# them from another folder. Usage: install_test.sh <build folder> <examples folder>
set -u
build="$1"
examples="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

# shellcheck source=../support/checks.sh
. "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"

check "install --strip" cmake --install "$build" --prefix "$prefix" --strip
for f in bin/orvane bin/orvane-batch lib/orvane/liborvane_picture.so share/doc/orvane/ReadMe_100.txt \
    share/man/man1/orvane.1 share/man/man1/orvane-batch.1 share/applications/orvane.desktop \
    share/metainfo/io.github.orvane.Orvane.metainfo.xml share/icons/hicolor/scalable/apps/orvane.svg; do
    check "installed $f" test -s "$prefix/$f"
done
check "no read-me among the programs" test ! -e "$prefix/bin/ReadMe_100.txt"
check "stripped" bash -c "! readelf -S '$prefix/bin/orvane-batch' | grep -q '\.symtab'"

# Both programs answer --version and --help without a display, from any folder.
mkdir "$work/elsewhere"
cd "$work/elsewhere" || exit 1
check "orvane-batch --version" test "$(env -u DISPLAY "$prefix/bin/orvane-batch" --version)" = "orvane-batch 1.0.0"
check "orvane --version" test "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/orvane" --version)" = "orvane 1.0.0"
check "orvane --help" bash -c "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '$prefix/bin/orvane' --help | grep -q orvane-batch"
check "manual page of orvane-batch" grep -q "Exit status" "$prefix/share/man/man1/orvane-batch.1"

# An analysis with pictures: the installed command finds its picture module.
folder="$("$prefix/bin/orvane-batch" -q --figures png -o out/nested "$examples/measured.txt" "$examples/simulation_a.txt" 2>"$work/err")"
check "installed analysis" test -f "$folder/MagnitudeAnalysis.mat" -a -f "$folder/ADMc_1 magnitude.png"
check "analysis under the current folder" test "$(dirname "$folder")" = "$work/elsewhere/out/nested"
check "quiet analysis" test ! -s "$work/err"

# The Python module and its typing stubs in the interpreter's package folder under the prefix,
# importable from there.
if [ -f "$build/python/orvane.pyi" ]; then
    module="$(find "$prefix/lib" -name 'orvane.cpython-*.so' | head -n 1)"
    check "python module installed" test -n "$module" -a -f "$(dirname "$module")/orvane.pyi"
    check "python module in the package folder" test "$(dirname "$module")" = "$prefix/lib/python3/dist-packages"
    check "import orvane from the prefix" env PYTHONPATH="$(dirname "$module")" /usr/bin/python3 -c \
        "import orvane; r = orvane.analyse(['$examples/measured.txt', '$examples/simulation_a.txt']); assert r.n_sets == 2"
fi

checks_done
