#!/usr/bin/env bash
# Runs the tests of a sanitizer build.
#
# GCC 12's LeakSanitizer now and then crashes in its own tracer while it
# scans the threads at exit ("Tracer caught signal 11", then "LeakSanitizer
# has encountered a fatal error"), after every test in the process passed;
# seen in the suites that make and destroy many Mesa contexts. A test that
# failed only that way is run once more. A leak, a sanitizer report or a
# failed test is never retried.
set -uo pipefail
build=${1:?usage: scripts/test-sanitized.sh BUILD_DIR}
cd "$build" || exit 1

ctest --output-on-failure -j2 && exit 0

# The output of one test, as ctest logged it.
output_of() {
    awk -v name="$1" '
        $0 ~ "^[0-9]+/[0-9]+ Testing: " && $3 == name { inside = 1 }
        inside { print }
        inside && index($0, "\"" name "\" end time:") == 1 { exit }
    ' Testing/Temporary/LastTest.log
}

only_tracer_crashes=1
while IFS=: read -r _ name; do
    out=$(output_of "$name")
    if ! grep -q 'LeakSanitizer has encountered a fatal error' <<<"$out" ||
        ! grep -qF '[  PASSED  ]' <<<"$out" ||
        grep -qE 'ERROR: (Address|Leak|UndefinedBehavior)Sanitizer|runtime error' <<<"$out"; then
        only_tracer_crashes=0
    fi
done <Testing/Temporary/LastTestsFailed.log

if [ "$only_tracer_crashes" -eq 0 ]; then exit 1; fi
echo "Every failure above is the leak checker's own crash after a passing run: once more."
ctest --rerun-failed --output-on-failure
