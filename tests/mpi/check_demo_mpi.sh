#!/usr/bin/env bash
# Runs zel-demo-mpi on four ranks in one scenario and checks what rank 0
# prints and the job's exit code.
# Usage: check_demo_mpi.sh <scenario> <zel-demo-mpi> <mpiexec and its options...>
set -uo pipefail
scenario=$1 demo=$2
shift 2
mpiexec=("$@")
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
unset QEN_LANGUAGE QEN_OKA_LOCALE QEN_SHOW_MISSING_TRANSLATIONS ZEL_VERBOSE_MESSAGE_ON

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The output without the redrawn bar: each carriage return starts a line.
lines() { tr '\r' '\n' <"$out"; }
expect_status() { [ "$status" -eq "$1" ] || fail "exit code $status, expected $1"; }
# The line occurs exactly once in the job's standard output.
expect_once() {
  local n
  n=$(lines | grep -cxF -- "$1")
  [ "$n" -eq 1 ] || fail "expected once, found $n times: $1"
}
expect_none() { ! lines | grep -qF -- "$1" || fail "unexpected: $1"; }

case "$scenario" in
  whole-job)
    "${mpiexec[@]}" "$demo" --fast --lang en_GB >"$out" 2>"$err"
    status=$?
    expect_status 0
    # One display for the job, at its end at 100 % (a redrawn bar on a
    # terminal, mpirun's usual output; else a final plain line).
    lines | grep -q "100%" || fail "the job's display did not reach 100 %"
    expect_none "cancelled"
    # Every rank reported these; rank 0 shows each once.
    expect_once "Engineering demo (en_GB, 4 ranks)"
    expect_once "  - Residual 0.00125 exceeds the tolerance."
    expect_once "  - Mesh file wing.msh has 3 degenerate elements."
    expect_once "    Element 1742 has a negative Jacobian."
    expect_once "  - Solver did not converge after 400 iterations."
    expect_once "Done."
    expect_none "Interrupted"
    # Each rank logs its own reports.
    n=$(grep -cxF "MeshReader::read - Mesh file wing.msh has 3 degenerate elements." "$err")
    [ "$n" -eq 4 ] || fail "expected a log line per rank, found $n"
    ;;
  interrupt-at)
    "${mpiexec[@]}" "$demo" --interrupt-at 0.3 >"$out" 2>"$err"
    status=$?
    expect_status 130
    expect_once "  - Interrupted by the user."
    expect_once "  - Mesh file wing.msh has 3 degenerate elements."
    lines | grep -q "cancelled" || fail "the job's display does not show the cancel"
    expect_none "100%"
    expect_none "Solver did not converge"
    expect_once "Done."
    ;;
  ctrl-c)
    # Ctrl-C as rank 0 receives it when it runs in the foreground.
    "${mpiexec[@]}" "$demo" >"$out" 2>"$err" &
    job=$!
    sent=
    for _ in $(seq 1 200); do
      for pid in $(pgrep -P "$job"); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "OMPI_COMM_WORLD_RANK=0" &&
          lines | grep -q "Engineering demo"; then
          sleep 0.5
          kill -INT "$pid" && sent=yes
          break 2
        fi
      done
      sleep 0.1
    done
    wait "$job"
    status=$?
    [ -n "$sent" ] || fail "rank 0 was not found"
    expect_status 130
    expect_once "  - Interrupted by the user."
    expect_none "Solver did not converge"
    expect_once "Done."
    ;;
  *)
    echo "unknown scenario $scenario"
    exit 2
    ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "--- standard output"; lines; echo "--- standard error"; cat "$err"
  exit 1
fi
