#!/usr/bin/env bash
# The DNS service's cost of the open Activity window: the harness serves one generated list
# of NAMES names (1,000,000) on 127.0.0.1:53 inside a private network namespace, pinned to
# core 0 with dnsperf on core 1, once without and once with the window shown (Qt's offscreen
# platform, so it draws for real), and prints per case: the queries/s reached when dnsperf
# offers RATE (20000) queries/s, the CPU per query at that rate, and the queries/s at full
# load. Each run lasts DURATION seconds (10). Not a test.
set -euo pipefail
NQ_BENCH_SCRIPT=$(realpath "$0") NQ_BENCH_ARGS=("$@")
cd "$(dirname "$0")/../.."
source bench/in-namespace.sh activity_window_harness

names=${NAMES:-1000000}
rate=${RATE:-20000}
duration=${DURATION:-10}
harness=$PWD/build-bench/bench/activity/activity_window_harness
probe=$PWD/bench/dns/probe.py

work=$(mktemp -d /tmp/activity-bench-XXXXXX)
server_pid=
cleanup() {
    if [ -n "$server_pid" ]; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

echo "Generating $names names..."
python3 bench/dns/generate_lists.py "$work" "$names" 200000
printf '[Preferences]\nFilterPath=%s\n[Proxy]\nUseCode=0\n' "$work" >"$work/NIMBREL.INI"
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
field() {
    awk -v label="$2" 'i = index($0, label) { split(substr($0, i + length(label)), f); print f[1]; exit }' "$1"
}

for mode in nowindow window; do
    echo "Harness, $mode..."
    start=$(date +%s.%N)
    taskset -c 0 "$harness" 53 "$mode" "$work/NIMBREL.INI" >"$work/harness.log" 2>&1 &
    server_pid=$!
    python3 "$probe" 53 "$(cat "$work/probe-name")" "$start" 180 >/dev/null
    before=$(cpu_ticks "$server_pid")
    taskset -c 1 dnsperf -s 127.0.0.1 -p 53 -d "$work/queries.txt" -l "$duration" -Q "$rate" \
        >"$work/rate.txt" 2>&1
    after=$(cpu_ticks "$server_pid")
    taskset -c 1 dnsperf -s 127.0.0.1 -p 53 -d "$work/queries.txt" -l "$duration" \
        >"$work/full.txt" 2>&1
    awk -v m="$mode" -v q="$(field "$work/rate.txt" "Queries per second:")" \
        -v c="$(field "$work/rate.txt" "Queries completed:")" -v t=$((after - before)) \
        -v hz="$(getconf CLK_TCK)" -v f="$(field "$work/full.txt" "Queries per second:")" \
        'BEGIN { printf "%s %.0f %.2f %.0f\n", m, q, t / hz / c * 1e6, f }' >>"$work/results.txt"
    kill "$server_pid"
    wait "$server_pid" 2>/dev/null || true
    server_pid=
done

echo
awk -v rate="$rate" 'BEGIN { printf "%-9s %12s %10s %10s\n", "window", "qps@" rate, "cpu_us/q", "full_qps" }
     { printf "%-9s %12s %10s %10s\n", $1, $2, $3, $4; q[$1] = $2; c[$1] = $3; f[$1] = $4 }
     END { printf "\nwindow open vs closed: qps at %d/s x%.3f, cpu/query x%.2f, full load x%.3f\n",
                  rate, q["window"] / q["nowindow"], c["window"] / c["nowindow"],
                  f["window"] / f["nowindow"] }' "$work/results.txt"
