#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz preset (clang with libFuzzer, address and undefined-behaviour sanitizers) and
# runs every fuzz target for SECONDS seconds (default 20) on a fresh copy of its seed corpus.
# Fails when any target finds an input that breaks an invariant or trips a sanitizer; such inputs
# are kept under build/fuzz/findings/ to replay with `build/fuzz/tests/fuzz/<target> <file>`.
set -euo pipefail

seconds=${1:-20}
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds == 0)); then
    echo "usage: scripts/fuzz.sh [SECONDS]" >&2
    exit 2
fi

here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

# The fuzz preset needs clang and its libFuzzer runtime besides what setup.sh installs.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)
bash "$here/scripts/install-packages.sh" "${FUZZ_PACKAGES[@]}"

"$here/scripts/setup.sh" fuzz

build=$here/build/fuzz
work=$build/fuzz-corpus
findings=$build/findings
rm -rf "$work" "$findings"
mkdir -p "$work" "$findings"

# Leaks are findings too; a failed check or sanitizer report stops the target at once.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
for seeds in "$here"/tests/fuzz/corpus/*/; do
    target=$(basename "$seeds")
    binary=$build/tests/fuzz/$target
    if [[ ! -x $binary ]]; then
        echo "fuzz target $target was not built" >&2
        failed+=("$target")
        continue
    fi
    cp -r "$seeds" "$work/$target"
    start=$SECONDS
    if "$binary" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/$target-" "$work/$target" >"$build/$target.log" 2>&1; then
        echo "$target: no finding in $((SECONDS - start)) s ($(ls "$work/$target" | wc -l) inputs in its corpus)"
    else
        echo "$target: FINDING after $((SECONDS - start)) s; log follows" >&2
        grep -v -E '^#[0-9]+' "$build/$target.log" | tail -n 40 >&2
        failed+=("$target")
    fi
done

if ((${#failed[@]} > 0)); then
    echo "Fuzz targets with findings: ${failed[*]} (inputs in $findings)" >&2
    exit 1
fi
