#!/usr/bin/env bash
# Runs every fuzz target under libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) for a given time each, starting from its seed corpus in
# fuzz/corpus, and prints per target the executions, the edges covered and whether it
# found anything. New inputs go to a scratch folder; the seed corpus stays as it is.
#
#   bench/fuzz.sh [SECONDS_PER_TARGET]      (default 60)
#   RUNS=10000000 bench/fuzz.sh             (a number of executions per target instead)
# Inputs are kept to MAX_LEN bytes (default 1024): ample for a datagram, a request piece, a
# profile or a list, and short enough that the list's step-by-step yardstick stays quick.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh fuzz
seconds=${1:-60}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNQ_FUZZ=ON -DNQ_BUILD_TESTS=OFF -DNQ_BUILD_BENCH=OFF -DNQ_WITHOUT_QT=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" >/dev/null

work=$(mktemp -d /tmp/fuzz-XXXXXX)
trap 'rm -rf "$work"' EXIT
printf "%-14s %14s %8s %10s\n" "target" "executions" "edges" "findings"
for fuzzer in build-fuzz/fuzz/*_fuzzer; do
    target=$(basename "$fuzzer" _fuzzer)
    mkdir -p "$work/$target"
    status=0
    limit=-max_total_time="$seconds"
    [ -n "${RUNS:-}" ] && limit=-runs="$RUNS"
    "$fuzzer" "$limit" -max_len="${MAX_LEN:-1024}" -print_final_stats=1 -artifact_prefix="$work/$target-" \
        "$work/$target" "fuzz/corpus/$target" >"$work/$target.log" 2>&1 || status=$?
    runs=$(awk '/stat::number_of_executed_units:/ {print $2}' "$work/$target.log")
    edges=$(grep -o 'cov: [0-9]*' "$work/$target.log" | tail -n 1 | awk '{print $2}')
    findings=$(find "$work" -maxdepth 1 -name "$target-*" | wc -l)
    printf "%-14s %14s %8s %10s\n" "$target" "${runs:-?}" "${edges:-?}" "$findings"
    if [ "$status" -ne 0 ]; then
        echo "  $target stopped with status $status; its log:" >&2
        tail -n 40 "$work/$target.log" >&2
    fi
done
