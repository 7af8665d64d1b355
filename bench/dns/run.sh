#!/usr/bin/env bash
# Serves one generated name list with Nimbrel (the real program, headless, on
# 127.0.0.1:53), dnsmasq and unbound, and runs the bare loop (bare_loop.c: every datagram
# answered with one recvfrom and one sendto, no lists), one after another inside a private network namespace,
# each pinned to core 0 with dnsperf on core 1, and prints per server: queries/s, average
# latency under full load, p50/p99 latency at a fixed moderate rate, CPU time per query
# (utime+stime from /proc/PID/stat over the run), resident memory and load time (start
# until the first answer). Nimbrel and unbound also get a TCP round (dnsperf -m tcp, one
# connection, pipelined), and Nimbrel a datagram round while 150 idle TCP connections are
# held open. Then Nimbrel's resident memory over a long run at full rate, and relayed
# queries/s through a local upstream, Nimbrel's and dnsmasq's as a forwarder without a cache.
# Nimbrel runs twice on the same lists: as installed,
# keeping its recent queries, and with [Preferences] KeepActivity=0, which keeps only the
# counters; the ratio of the two is the cost of the ring.
#
# Environment: NAMES (1000000), QUERIES in the query file (200000), DURATION of each
# full-load run in seconds (10), SOAK seconds of the long run (30), P99_RATE queries/s for
# the latency run (20000).
set -euo pipefail
NQ_BENCH_SCRIPT=$(realpath "$0") NQ_BENCH_ARGS=("$@")
cd "$(dirname "$0")/../.."
source bench/in-namespace.sh nimbrel

names=${NAMES:-1000000}
query_count=${QUERIES:-200000}
duration=${DURATION:-10}
soak=${SOAK:-30}
p99_rate=${P99_RATE:-20000}
server_core=0
load_core=1
ours_port=53
dnsmasq_port=5302
unbound_port=5303
bare_port=5304
forwarder_port=5305
upstream_address=127.0.0.2
relay_names=10000
nimbrel=$PWD/build-bench/nimbrel/nimbrel
probe=$PWD/bench/dns/probe.py
idle_tcp=$PWD/bench/dns/idle_tcp.py
idle_connections=150

work=$(mktemp -d /tmp/dns-bench-XXXXXX)
server_pid=
stop_server() {
    if [ -n "$server_pid" ]; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
        server_pid=
    fi
}
upstream_pid=
idle_pid=
cleanup() {
    if [ -n "$idle_pid" ]; then
        kill "$idle_pid" 2>/dev/null || true
    fi
    stop_server
    if [ -n "$upstream_pid" ]; then
        kill "$upstream_pid" 2>/dev/null || true
        wait "$upstream_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

cc -O2 -o "$work/bare_loop" bench/dns/bare_loop.c

echo "Generating $names names and $query_count queries..."
python3 bench/dns/generate_lists.py "$work/lists" "$names" "$query_count"
probe_name=$(cat "$work/lists/probe-name")
clk_tck=$(getconf CLK_TCK)

cat >"$work/unbound.conf" <<CONF
server:
    interface: 127.0.0.1@$unbound_port
    port: $unbound_port
    num-threads: 1
    do-daemonize: no
    chroot: ""
    username: ""
    directory: "$work"
    pidfile: ""
    use-syslog: no
    logfile: ""
    verbosity: 0
    do-ip6: no
    so-reuseport: no
    module-config: "iterator"
    access-control: 127.0.0.0/8 allow
    include: "$work/lists/unbound-local.conf"
remote-control:
    control-enable: no
CONF

dnsmasq_common=(--keep-in-foreground --bind-interfaces --no-resolv --no-hosts --user=root
    --pid-file= --log-facility=/dev/null)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }

# start_server PORT COMMAND...: starts the server on the server core and waits until it
# answers; sets server_pid and load_seconds.
start_server() {
    local port=$1
    shift
    local start
    start=$(date +%s.%N)
    taskset -c "$server_core" "$@" >"$work/server.log" 2>&1 &
    server_pid=$!
    if ! load_seconds=$(python3 "$probe" "$port" "$probe_name" "$start" 180); then
        echo "server on port $port did not answer; its output:" >&2
        cat "$work/server.log" >&2
        exit 1
    fi
}

# start_nimbrel FOLDER: the real program, headless, serving the lists in FOLDER with the
# profile FOLDER/NIMBREL.INI.
start_nimbrel() {
    local folder=$1
    mkdir -p "$folder/config" "$folder/run"
    chmod 700 "$folder/run"
    cp "$folder/NIMBREL.INI" "$folder/config/NIMBREL.INI"
    cd "$folder"
    start_server "$ours_port" env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$folder/config" \
        XDG_RUNTIME_DIR="$folder/run" "$nimbrel"
    cd - >/dev/null
}

# dnsperf_field OUTPUT LABEL: the first number after LABEL in dnsperf's statistics.
dnsperf_field() {
    awk -v label="$2" 'i = index($0, label) { split(substr($0, i + length(label)), f); print f[1]; exit }' "$1"
}

# measure NAME PORT QUERY_FILE [MODE]: full-load run, then the latency run, over MODE (udp or
# tcp); appends a result row.
measure() {
    local name=$1 port=$2 queries=$3 mode=${4:-udp}
    local rss_loaded ticks_before ticks_after out="$work/dnsperf-$name.txt"
    rss_loaded=$(rss_kb "$server_pid")
    ticks_before=$(cpu_ticks "$server_pid")
    taskset -c "$load_core" dnsperf -m "$mode" -s 127.0.0.1 -p "$port" -d "$queries" \
        -l "$duration" >"$out" 2>&1
    ticks_after=$(cpu_ticks "$server_pid")
    local completed qps latency percentiles
    completed=$(dnsperf_field "$out" "Queries completed:")
    qps=$(dnsperf_field "$out" "Queries per second:")
    latency=$(dnsperf_field "$out" "Average Latency (s):")
    percentiles=$(taskset -c "$load_core" dnsperf -m "$mode" -s 127.0.0.1 -p "$port" \
        -d "$queries" -l 3 \
        -Q "$p99_rate" -v 2>/dev/null | awk '/^> / {print $NF}' | sort -g |
        awk '{v[NR] = $1} END {if (NR) print v[int(NR * 0.5)], v[int(NR * 0.99)]; else print "nan nan"}')
    local rss_end
    rss_end=$(rss_kb "$server_pid")
    awk -v n="$name" -v q="$qps" -v c="$completed" -v l="$latency" -v p="$percentiles" \
        -v t="$((ticks_after - ticks_before))" -v hz="$clk_tck" -v r1="$rss_loaded" \
        -v r2="$rss_end" -v ld="$load_seconds" 'BEGIN {
            split(p, pct, " ")
            printf "%s %.0f %.0f %.0f %.0f %.2f %.1f %.1f %.2f %s\n", n, q, l * 1e6, pct[1] * 1e6,
                   pct[2] * 1e6,
                   t / hz / c * 1e6, r1 / 1024, r2 / 1024, ld, c }' >>"$work/results.txt"
}

echo "Nimbrel..."
printf '[Proxy]\nUseCode=0\n' >"$work/lists/NIMBREL.INI"
start_nimbrel "$work/lists"
measure ours "$ours_port" "$work/lists/queries.txt"
measure ours-tcp "$ours_port" "$work/lists/queries.txt" tcp
echo "Nimbrel with $idle_connections idle TCP connections held open..."
taskset -c "$load_core" python3 "$idle_tcp" "$ours_port" "$idle_connections" &
idle_pid=$!
sleep 2
measure ours-idle "$ours_port" "$work/lists/queries.txt"
kill "$idle_pid"
wait "$idle_pid" 2>/dev/null || true
idle_pid=
echo "Nimbrel for ${soak} s at full rate..."
soak_rss_before=$(rss_kb "$server_pid")
taskset -c "$load_core" dnsperf -s 127.0.0.1 -p "$ours_port" -d "$work/lists/queries.txt" \
    -l "$soak" >/dev/null 2>&1
soak_rss_after=$(rss_kb "$server_pid")
stop_server

echo "Nimbrel keeping only counters (KeepActivity=0)..."
printf '[Proxy]\nUseCode=0\n[Preferences]\nKeepActivity=0\n' >"$work/lists/NIMBREL.INI"
start_nimbrel "$work/lists"
measure ours-noring "$ours_port" "$work/lists/queries.txt"
stop_server

echo "dnsmasq..."
start_server "$dnsmasq_port" dnsmasq "${dnsmasq_common[@]}" --port="$dnsmasq_port" \
    --listen-address=127.0.0.1 --conf-file="$work/lists/dnsmasq.conf"
measure dnsmasq "$dnsmasq_port" "$work/lists/queries.txt"
stop_server

echo "unbound..."
start_server "$unbound_port" unbound -d -c "$work/unbound.conf"
measure unbound "$unbound_port" "$work/lists/queries.txt"
measure unbound-tcp "$unbound_port" "$work/lists/queries.txt" tcp
stop_server

echo "bare loop..."
start_server "$bare_port" "$work/bare_loop" "$bare_port"
measure bare "$bare_port" "$work/lists/queries.txt"
stop_server

echo "Relay through a local upstream (dnsmasq on $upstream_address:53 answering locally)..."
mkdir -p "$work/relay"
: >"$work/relay/named.txt"
: >"$work/relay/pass.txt"
printf '[Proxy]\nIP1=%s\nUseCode=10000\n' "$upstream_address" >"$work/relay/NIMBREL.INI"
awk -v n="$relay_names" 'BEGIN { for (i = 0; i < n; i++) printf "r%d.relay.example A\n", i }' \
    >"$work/relay/queries.txt"
taskset -c "$load_core" dnsmasq "${dnsmasq_common[@]}" --port=53 \
    --listen-address="$upstream_address" --conf-file=/dev/null \
    --address=/relay.example/10.0.0.1 >/dev/null 2>&1 &
upstream_pid=$!
probe_name=r0.relay.example
start_nimbrel "$work/relay"
measure ours-relayed "$ours_port" "$work/relay/queries.txt"
stop_server
start_server "$forwarder_port" dnsmasq "${dnsmasq_common[@]}" --port="$forwarder_port" \
    --listen-address=127.0.0.1 --conf-file=/dev/null --server="$upstream_address" \
    --cache-size=0
measure dnsmasq-relayed "$forwarder_port" "$work/relay/queries.txt"
stop_server

echo
echo "Names: $names; query file: $query_count queries (half listed names, half subdomains);"
echo "server on core $server_core, dnsperf on core $load_core, ${duration} s per full-load run."
echo "Nimbrel's resident memory over ${soak} s at full rate: $((soak_rss_before / 1024)) MB ->" \
    "$((soak_rss_after / 1024)) MB (growth $((soak_rss_after - soak_rss_before)) kB)"
echo
awk 'BEGIN {
        printf "%-13s %8s %8s %8s %8s %9s %7s %8s %7s\n", "server", "qps", "avg_us", "p50_us",
               "p99_us", "cpu_us/q", "rss_MB", "rss_end", "load_s"
     }
     { printf "%-13s %8s %8s %8s %8s %9s %7s %8s %7s\n", $1, $2, $3, $4, $5, $6, $7, $8, $9
       qps[$1] = $2; cpu[$1] = $6; rss[$1] = $8; load[$1] = $9 }
     END {
        print ""
        for (peer in qps) {
            if (peer ~ /^ours/ || peer ~ /-(tcp|relayed)$/) continue
            printf "ours vs %-8s qps x%.2f, cpu/query x%.2f, memory x%.2f, load time x%.2f\n",
                   peer, qps["ours"] / qps[peer], cpu["ours"] / cpu[peer],
                   rss["ours"] / rss[peer], load["ours"] / load[peer]
        }
        printf "relayed, ours vs dnsmasq as a forwarder: qps x%.2f, cpu/query x%.2f\n",
               qps["ours-relayed"] / qps["dnsmasq-relayed"],
               cpu["ours-relayed"] / cpu["dnsmasq-relayed"]
        printf "recent queries kept vs counters only: qps x%.3f, cpu/query x%.3f\n",
               qps["ours"] / qps["ours-noring"], cpu["ours"] / cpu["ours-noring"]
        printf "over TCP, ours vs unbound: qps x%.2f, cpu/query x%.2f\n",
               qps["ours-tcp"] / qps["unbound-tcp"], cpu["ours-tcp"] / cpu["unbound-tcp"]
        printf "with idle TCP connections, ours: qps x%.2f, cpu/query x%.2f of the plain run\n",
               qps["ours-idle"] / qps["ours"], cpu["ours-idle"] / cpu["ours"]
     }' "$work/results.txt"
echo "(bare: the bare loop; -relayed: through the upstream on $upstream_address, dnsmasq as a"
echo " forwarder without a cache; -tcp: over one TCP connection; ours-idle: datagrams while $idle_connections idle TCP"
echo " connections are held open;"
echo " avg_us under full load with 100 queries outstanding; p50/p99 at $p99_rate queries/s;"
echo " rss_MB after loading, rss_end after the runs; load_s from start to the first answer)"
