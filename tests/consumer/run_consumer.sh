#!/usr/bin/env bash
# Installs the build into a temporary prefix, then builds and runs the consumer
# project against it. Usage: run_consumer.sh <build dir> <project dir> <mode>
# where mode is find_package or pkg-config.
set -euo pipefail
build=$1 project=$2 mode=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
libdir=$(dirname "$(find "$work/prefix" -name 'libZELError.so' | head -n 1)")

case "$mode" in
  find_package)
    cmake -S "$project" -B "$work/build" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
    cmake --build "$work/build" >/dev/null
    exe=$work/build/consumer
    ;;
  pkg-config)
    export PKG_CONFIG_PATH=$libdir/pkgconfig
    # shellcheck disable=SC2046
    c++ -o "$work/consumer" "$project/main.cpp" $(pkg-config --cflags --libs zelerror)
    exe=$work/consumer
    ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac

LD_LIBRARY_PATH=$libdir "$exe"
