#!/usr/bin/env bash
# Relayed queries side by side: Nimbrel (the real program, headless) and dnsmasq as a plain
# forwarder without a cache, each on 127.0.0.1:53 in turn inside a private network
# namespace, relaying to a fake upstream on 127.0.0.2:53 that answers each query after a
# set delay on its own timer. Three rounds; prints the median of each figure:
#   - 100 distinct names at once, upstream answering in 20 ms: median and last answer;
#   - the same with every 10th upstream reply lost: the last of the other 90;
#   - a listed name asked while 100 relays wait (upstream answering in 500 ms).
set -euo pipefail
NQ_BENCH_SCRIPT=$(realpath "$0") NQ_BENCH_ARGS=("$@")
cd "$(dirname "$0")/../.."
source bench/in-namespace.sh nimbrel

rounds=${ROUNDS:-3}
burst=100
nimbrel=$PWD/build-bench/nimbrel/nimbrel
bench=$PWD/bench/relay
work=$(mktemp -d /tmp/relay-bench-XXXXXX)
pids=()
stop_all() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    pids=()
}
trap 'stop_all; rm -rf "$work"' EXIT

mkdir -p "$work/lists" "$work/config" "$work/run"
chmod 700 "$work/run"
echo "listed.example" >"$work/lists/named.txt"
: >"$work/lists/pass.txt"
printf '[Proxy]\nIP1=127.0.0.2\nUseCode=10000\n' >"$work/config/NIMBREL.INI"

await_answer() {
    for _ in $(seq 200); do
        if python3 bench/dns/probe.py 53 listed.example 0 0.05 >/dev/null 2>&1; then
            return 0
        fi
    done
    echo "no DNS server answers on 127.0.0.1:53" >&2
    exit 1
}

start_upstream() {
    python3 "$bench/fake_upstream.py" 127.0.0.2 "$@" >"$work/upstream.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        grep -q ready "$work/upstream.log" && return 0
        sleep 0.05
    done
    echo "the fake upstream did not start" >&2
    exit 1
}

start_server() {
    case $1 in
        nimbrel)
            (cd "$work/lists" && env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$work/config" \
                XDG_RUNTIME_DIR="$work/run" "$nimbrel" >"$work/server.log" 2>&1) &
            ;;
        dnsmasq)
            dnsmasq --keep-in-foreground --no-resolv --no-hosts --server=127.0.0.2 \
                --cache-size=0 --listen-address=127.0.0.1 --bind-interfaces --port=53 \
                --address=/listed.example/127.0.0.1 --user=root --pid-file= \
                --log-facility=/dev/null >"$work/server.log" 2>&1 &
            ;;
    esac
    pids+=($!)
    await_answer
}

# scenario NAME DELAY_MS LOSE_EVERY [LISTED]: one burst against each server; appends
# "scenario server answered median last listed" lines to results.
scenario() {
    local name=$1 delay=$2 lose=$3 listed=${4:-}
    for server in nimbrel dnsmasq; do
        start_upstream "$delay" "$lose"
        start_server "$server"
        echo "$name $server $(python3 "$bench/burst.py" "$burst" "$name$RANDOM" $listed)" \
            >>"$work/results"
        stop_all
        sleep 0.2
    done
}

for round in $(seq "$rounds"); do
    echo "round $round of $rounds..."
    scenario burst 20 0
    scenario lossy 20 10
    scenario listed 500 0 listed.example
done

echo
echo "$burst distinct names at once; fake upstream on 127.0.0.2:53; medians of $rounds rounds"
awk '
    function median(list,   n, v, i, j, t) {
        n = split(list, v, " ")
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    { key = $1 " " $2; answered[key] = answered[key] " " $3; med[key] = med[key] " " $4
      last[key] = last[key] " " $5; listed[key] = listed[key] " " $6 }
    END {
        printf "%-8s %-8s %9s %10s %9s %10s\n", "case", "server", "answered", "median_ms", "last_ms", "listed_ms"
        split("burst lossy listed", cases, " ")
        split("nimbrel dnsmasq", servers, " ")
        for (c = 1; c <= 3; c++) for (s = 1; s <= 2; s++) {
            key = cases[c] " " servers[s]
            lm = listed[key] ~ /-/ ? "-" : sprintf("%.3f", median(listed[key]))
            printf "%-8s %-8s %9s %10.1f %9.1f %10s\n", cases[c], servers[s], median(answered[key]),
                   median(med[key]), median(last[key]), lm
            l[key] = median(last[key])
        }
        printf "\nlast answer, Nimbrel / dnsmasq: burst x%.2f, lossy (other 90) x%.2f\n",
               l["burst nimbrel"] / l["burst dnsmasq"], l["lossy nimbrel"] / l["lossy dnsmasq"]
    }' "$work/results"
