#!/usr/bin/env bash
# Installs the build into a temporary prefix, then uses the installed package
# as an application outside this tree would, in a clean environment (no
# LD_LIBRARY_PATH; only CMAKE_PREFIX_PATH or PKG_CONFIG_PATH, as the README
# says). Usage: run_consumer.sh <build dir> <project dir> <mode>, where mode is
#   find_package  build and run the consumer project with CMake
#   pkg-config    build and run its main.cpp with the compiler and pkg-config
#   tool          run the installed zel-trx --help (the test is registered
#                 only when the tool is built)
#   examples      build the examples project with CMake and run each example
#   mpi           build the MPI project against ZELError::MPI and run it on
#                 one rank (registered only when the MPI companion is built)
set -euo pipefail
if [ "${1:-}" != --clean ]; then
  exec env -i PATH="$PATH" HOME="${HOME:-/}" bash "$0" --clean "$@"
fi
shift
build=$1 project=$2 mode=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
pcdir=$(dirname "$(find "$prefix" -name zelerror.pc | head -n 1)")

case "$mode" in
  find_package)
    cmake -S "$project" -B "$work/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
    cmake --build "$work/build" >/dev/null
    "$work/build/consumer"
    ;;
  pkg-config)
    export PKG_CONFIG_PATH=$pcdir
    version=$(pkg-config --modversion zelerror)
    # The package names no language standard: the application picks one.
    if pkg-config --cflags zelerror | grep -q -- '-std='; then
      echo "zelerror.pc imposes a language standard: $(pkg-config --cflags zelerror)" >&2
      exit 1
    fi
    # shellcheck disable=SC2046
    c++ -std=c++20 -o "$work/consumer" "$project/main.cpp" \
      -DZEL_EXPECTED_VERSION="\"$version\"" \
      -DZEL_EXPECTED_DATA_DIR="\"$(pkg-config --variable=datadir zelerror)\"" \
      $(pkg-config --cflags --libs zelerror)
    "$work/consumer"
    ;;
  tool)
    "$prefix/bin/zel-trx" --help
    ;;
  examples)
    cmake -S "$project" -B "$work/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
    cmake --build "$work/build" >/dev/null
    ctest --test-dir "$work/build" --output-on-failure
    ;;
  mpi)
    cmake -S "$project" -B "$work/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
    cmake --build "$work/build" >/dev/null
    mpiexec -n 1 --allow-run-as-root "$work/build/consumer_mpi"
    ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
