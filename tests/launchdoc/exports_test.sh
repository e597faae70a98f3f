#!/usr/bin/env bash
# liblaunchdoc.so from the outside: its dynamic symbols and the libraries it needs.
# Usage: exports_test.sh <liblaunchdoc.so>
set -u
lib="$1"
failed=0

defined="$(nm -D --defined-only "$lib" | awk '{print $NF}' | sort)"
if [ "$defined" != "olvanFunction" ]; then
    printf 'FAILED: the library should export olvanFunction only, it exports:\n%s\n' "$defined"
    failed=1
fi

# Nothing of the program: no C++ symbol of ours, no library of ours.
if nm -D --undefined-only "$lib" | grep -qi 'orvane'; then
    printf 'FAILED: the library refers to the program:\n%s\n' "$(nm -D --undefined-only "$lib" | grep -i orvane)"
    failed=1
fi
needed="$(objdump -p "$lib" | awk '$1 == "NEEDED" {print $2}')"
if grep -qiv -e '^libc\.so' -e '^libasan\.so' -e '^libubsan\.so' -e '^libstdc++\.so' -e '^libm\.so' \
        -e '^libgcc_s\.so' <<<"$needed"; then
    printf 'FAILED: the library needs more than the C library:\n%s\n' "$needed"
    failed=1
fi

[ "$failed" -eq 0 ] && echo "liblaunchdoc exports olvanFunction only; needs: $(echo $needed)"
exit "$failed"
