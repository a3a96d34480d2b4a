# Functions that read CTest's output (source it): each test's result and time, and the first line
# that says why a test failed.

# Prints "name result seconds" for every test in CTest's console output $1 (a file); result is
# Passed, Failed, Timeout, Skipped, Exception or what CTest said.
ctest_results() {
  sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) \.*[ *]*([A-Za-z]+)[^0-9]* ([0-9.]+) sec.*/\1 \2 \3/p' "$1" |
    sed -E 's/ Not / NotRun /'
}

# Prints the first line that says why test $2 failed, from CTest's LastTest.log $1: a FAIL line,
# a failed assertion or xdrive's diagnosis, else the last line the test printed.
ctest_first_failure() {
  awk -v name="$2" '
    $0 ~ "^[0-9]+/[0-9]+ Testing: " { inside = ($0 ~ ": " name "$"); next }
    inside && /^<end of output>/ { inside = 0 }
    inside && /^(Test time|Test command|Directory|Environment variables|Output:|---)/ { next }
    inside && !found && /FAIL|[Ff]ailure|xdrive: timed out|xdrive: the program|[Ee]rror|Timeout|Assertion|Sanitizer/ { found = $0 }
    inside && NF { last = $0 }
    END { print (found != "" ? found : last) }
  ' "$1" | sed 's/^[[:space:]]*//' | cut -c1-220
}
