#!/usr/bin/env bash
# The Debian package: made with CPack from the build, its metadata checked, then unpacked
# into a scratch root (dpkg -x, no installation) and run from there.
# Usage: package_test.sh <build folder> <examples folder>. Exit 77 without the Debian tools.
set -u
build="$(realpath "$1")"
examples="$(realpath "$2")"
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (Debian packages cmake, dpkg-dev)"; exit 77; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# shellcheck source=../support/checks.sh
. "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "0 passed, 1 failed"
    exit 1
fi
deb="$(ls "$work"/out/orvane_*.deb)"
info="$(dpkg-deb -I "$deb")"
field() { printf '%s\n' "$info" | sed -n "s/^ $1: //p"; }
check "package name" test "$(field Package)" = orvane
check "version" test "$(field Version)" = 1.0.0
check "section" test "$(field Section)" = science
check "maintainer" bash -c "[[ '$(field Maintainer)' == *'<'*'@'*'>' ]]"
check "description" bash -c "printf '%s\n' \"\$0\" | grep -q 'Feature Selective Validation'" "$info"
# Depends as dpkg-shlibdeps found them: the numeric libraries of the programs and Qt of the
# picture module and the desktop program, with versions.
depends="$(field Depends)"
for lib in libc6 libfftw3 libmatio libpng libqt6widgets6 libqt6svg6; do
    check "Depends names $lib" bash -c "[[ '$depends' == *'$lib'* ]]"
done
check "Depends has versions" bash -c "[[ '$depends' == *'(>='* ]]"

contents="$(dpkg-deb -c "$deb")"
for f in usr/bin/orvane usr/bin/orvane-batch usr/lib/orvane/liborvane_picture.so usr/lib/orvane/liblaunchdoc.so \
    usr/share/doc/orvane/ReadMe_100.txt usr/share/doc/orvane/copyright usr/share/man/man1/orvane-batch.1 \
    usr/share/applications/orvane.desktop usr/share/metainfo/io.github.orvane.Orvane.metainfo.xml; do
    check "packed $f" bash -c "printf '%s\n' \"\$0\" | grep -q ' \./$f\$'" "$contents"
done
check "nothing outside /usr" bash -c "! printf '%s\n' \"\$0\" | awk '{print \$6}' | grep -v '^\./usr\(/\|\$\)' | grep -v '^\./\$'" "$contents"

root="$work/root"
dpkg -x "$deb" "$root"
check "licence" grep -q "^License: GPL-3+" "$root/usr/share/doc/orvane/copyright"
check "stripped" bash -c "! readelf -S '$root/usr/bin/orvane-batch' | grep -q '\.symtab'"
check "desktop entry not tied to a prefix" bash -c "! grep -q /usr/local '$root/usr/share/applications/orvane.desktop'"

# Run from the scratch root, away from the build tree, with nothing pointing at it.
mkdir "$work/elsewhere"
cd "$work/elsewhere" || exit 1
unset ORVANE_EXTENSION_PATH LD_LIBRARY_PATH
check "orvane-batch --version" test "$(env -u DISPLAY "$root/usr/bin/orvane-batch" --version)" = "orvane-batch 1.0.0"
folder="$("$root/usr/bin/orvane-batch" -q -d magnitude --figures png -o out "$examples/measured.txt" \
    "$examples/simulation_a.txt" "$examples/simulation_b.txt" 2>"$work/err")"
check "analysis from the package" test -s "$folder/MagnitudeAnalysis.mat" -a -s "$folder/85/GRADE_SPREAD.mat"
check "pictures through the packed module" test -s "$folder/ADMc_1 magnitude.png"
check "quiet analysis" test ! -s "$work/err"

checks_done
