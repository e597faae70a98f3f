# The shell tests' one way to count checks and go on after a failure. Source it, run
# `check NAME COMMAND…` for each check, and end with `checks_done`.
passed=0
failed=0

check() {  # check <name> <command…>: passes when the command succeeds
    local name="$1"
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1)); echo "FAILED $name"
    fi
}

checks_done() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
