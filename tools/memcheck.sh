#!/usr/bin/env bash
# Runs the test programs under valgrind's memcheck through CTest: a memory
# error or a definitely lost block fails the test in which it happens.
#   tools/memcheck.sh [ctest options]      e.g. tools/memcheck.sh -R Translation
# Tests that run scripts or other programs rather than a test program of this
# tree (the installed-package consumers, the demo runs, the demo in tmux,
# the documentation run, the command-line tool runs, the symbol checks, the
# MPI tests that mpiexec starts) are left out: valgrind would check the shell or the
# interpreter; the demo program is run under valgrind directly instead, when
# no ctest options are given. Death tests run; valgrind does not follow their
# child processes.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/memcheck
options="--error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite
  --show-leak-kinds=definite --num-callers=30 --trace-children=no
  --suppressions=$PWD/tests/hardening/valgrind.supp"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j2
ctest --test-dir "$build" -T memcheck -j2 --output-on-failure \
  --overwrite MemoryCheckCommand="$(command -v valgrind)" \
  --overwrite MemoryCheckCommandOptions="$(echo $options)" \
  -E '^(consumer|demo|docs|console|mpi)\.|^bench\.mpi\.|^zel-trx\.(check|fromPo|badInput)\.|^abi\.([A-Za-z]*ExportsOnlyNamespaceZel|KeepsEverySymbolOfTheRelease)$' \
  "$@"

# The demo runs the library's whole road from start-up to shutdown; its
# scenarios are checked by the demo tests, here only valgrind's verdict counts.
demo=$build/demo/zel-demo
if [ -x "$demo" ] && [ $# -eq 0 ]; then
  for args in "--lang en_GB" "--lang de_DE" "--interrupt-at 0.5" "--soft-abort --interrupt-at 0.5"; do
    status=0
    # shellcheck disable=SC2086
    valgrind -q $options "$demo" --fast $args >/dev/null || status=$?
    if [ "$status" -eq 99 ]; then echo "memcheck: zel-demo --fast $args" >&2; exit 1; fi
  done
  echo "memcheck: zel-demo clean in 4 scenarios"
fi
