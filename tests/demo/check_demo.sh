#!/usr/bin/env bash
# Runs zel-demo in one scenario and checks what it prints and its exit code.
# Usage: check_demo.sh <zel-demo> <scenario>
set -uo pipefail
demo=$1 scenario=$2
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
unset QEN_LANGUAGE QEN_OKA_LOCALE QEN_SHOW_MISSING_TRANSLATIONS ZEL_VERBOSE_MESSAGE_ON

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
run() { "$demo" "$@" >"$out" 2>"$err"; status=$?; }
expect_status() { [ "$status" -eq "$1" ] || fail "exit code $status, expected $1"; }
# The line occurs exactly once in the standard output.
expect_once() {
  local n
  n=$(grep -cxF -- "$1" "$out")
  [ "$n" -eq 1 ] || fail "expected once, found $n times: $1"
}
expect_none() { ! grep -qF -- "$1" "$out" || fail "unexpected: $1"; }

case "$scenario" in
  english)
    run --fast --lang en_GB
    expect_status 0
    expect_once "Warnings:"
    expect_once "  - Mesh file wing.msh has 3 degenerate elements."
    expect_once "  - Residual 0.00125 exceeds the tolerance."
    expect_once "  - Progress report should be between 0 and 1. It is 1.05."
    expect_once "Internal errors:"
    expect_once "  - Internal error detected:"
    expect_once "    Element 1742 has a negative Jacobian."
    expect_once "Errors:"
    expect_once "  - Solver did not converge after 400 iterations."
    expect_once "Done."
    # Every report is logged at once, untranslated, on standard error.
    grep -qxF "Assembler::assemble - Element 1742 has a negative Jacobian." "$err" ||
      fail "log line of the internal error missing"
    ;;
  german)
    run --fast --lang de_DE
    expect_status 0
    expect_once "Warnungen:"
    expect_once "  - Die Netzdatei wing.msh enthält 3 entartete Elemente."
    expect_once "  - Interner Fehler festgestellt:"
    expect_once "Fertig."
    expect_none "Mesh file"
    # The log keeps the source text.
    grep -qxF "MeshReader::read - Mesh file wing.msh has 3 degenerate elements." "$err" ||
      fail "log line keeps the source text"
    ;;
  interrupt | soft-interrupt)
    mode=()
    [ "$scenario" = soft-interrupt ] && mode=(--soft-abort)
    run --fast "${mode[@]}" --interrupt-at 0.5
    expect_status 130
    expect_once "  - Interrupted by the user."
    expect_none "Done."
    # The last progress line shows where the run stopped: past the request at
    # 50 %, not where the trackers' final reports took the progress on the way out.
    stopped=$(sed -nE 's/^\[ *([0-9]+)%\] cancelled.*/\1/p' "$out")
    [ -n "$stopped" ] && [ "$stopped" -ge 50 ] && [ "$stopped" -le 60 ] ||
      fail "last progress line does not show the run cancelled near 50 %: '$stopped'"
    ;;
  late-interrupt)
    # A cancel in the last steps, where only the trackers' and guards' final
    # reports are left to deliver it, still ends the run as interrupted.
    for soft in "" --soft-abort; do
      run --fast $soft --interrupt-at 0.95
      expect_status 130
      expect_once "  - Interrupted by the user."
      expect_none "Done."
      grep -qE '^\[ *(9[5-9]|100)%\] cancelled' "$out" || fail "no final line cancelled at 95 % or more"
    done
    ;;
  piped-order)
    # Standard output and standard error into one pipe: the lines come in the
    # order in which they happened.
    "$demo" --fast --lang en_GB >"$out" 2>&1
    status=$?
    expect_status 0
    expect_order() {
      local previous=0 line n
      for line in "$@"; do
        n=$(grep -nxF -m1 -- "$line" "$out" | cut -d: -f1)
        if [ -z "$n" ]; then fail "missing: $line"; return; fi
        [ "$n" -gt "$previous" ] || fail "out of order: $line"
        previous=$n
      done
    }
    expect_order "Engineering demo (en_GB)" \
      "[  0%] Load mesh" \
      "MeshReader::read - Mesh file wing.msh has 3 degenerate elements." \
      "[ 10%] Assemble" \
      "Assembler::assemble - Element 1742 has a negative Jacobian." \
      "[ 40%] Solve" \
      "[ 55%] Iterate" \
      "Solver::iterate - Solver did not converge after 400 iterations." \
      "[ 90%] Write results" \
      "Internal errors:" \
      "Done."
    grep -qE '^\[100%\] done' "$out" || fail "no final progress line"
    ;;
  bad-option)
    run --no-such-option
    expect_status 2
    grep -qF "unknown option '--no-such-option'" "$err" || fail "no clear message for a bad option"
    run --steps zero
    expect_status 2
    run --interrupt-at 1.5
    expect_status 2
    ;;
  *) echo "unknown scenario $scenario"; exit 2 ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "--- standard output"; cat "$out"; echo "--- standard error"; cat "$err"
  exit 1
fi
echo "demo $scenario: ok"
