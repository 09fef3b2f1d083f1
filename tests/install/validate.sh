#!/bin/sh
# validate.sh TOOL ARGUMENTS...: runs a validator; exits 77 (skipped) when TOOL is not installed.
# A validator's warnings fail the check as its errors do.
tool=$1
if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is not installed: skipped"
    exit 77
fi
output=$("$@" 2>&1)
status=$?
printf '%s\n' "$output"
[ $status -eq 0 ] || exit $status
if printf '%s\n' "$output" | grep -Eq '^(W:|E:)|: (warning|error):'; then
    echo "$tool reported warnings or errors"
    exit 1
fi
