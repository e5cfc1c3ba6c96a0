#!/usr/bin/env bash
# `make bench`: every benchmark of the project, one after the other.
set -euo pipefail
build=${1:-build}
here=$(dirname "$0")
for b in "$here"/*-bench.sh; do
    echo "=== $(basename "$b")"
    "$b" "$build"
done
