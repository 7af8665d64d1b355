#!/usr/bin/env bash
# Runs each program at full rate on loopback for a long while, inside a private network
# namespace, and samples its resident memory and open descriptors every 10 s; after the
# warm-up (the first sample) both should stay flat.
#   Nimbrel: dnsperf with listed names, relayed names and other types, relayed to a flaky
#            fake upstream (answers after 5 ms, loses every 7th query).
#   Quorvin: ab, plus clients that send slowly and clients that reset their connection.
#
#   bench/soak.sh [SECONDS_PER_PROGRAM] [nimbrel|quorvin]   (default: 600 s, both)
set -euo pipefail
NQ_BENCH_SCRIPT=$(realpath "$0") NQ_BENCH_ARGS=("$@")
cd "$(dirname "$0")/.."
source bench/in-namespace.sh nimbrel quorvin

seconds=${1:-600}
only=${2:-}
root=$PWD
work=$(mktemp -d /tmp/soak-XXXXXX)
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; wait; rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/run" "$work/folder"
chmod 700 "$work/run"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
unset DISPLAY WAYLAND_DISPLAY

# sample PID LABEL: one line every 10 s until the run's time is up.
sample() {
    local pid=$1 label=$2 end=$((SECONDS + seconds))
    echo "$label: seconds, resident kB, open descriptors"
    while [ "$SECONDS" -lt "$end" ]; do
        echo "  $((seconds - end + SECONDS)) $(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")" \
            "$(ls "/proc/$pid/fd" | wc -l)"
        sleep 10
    done
}

cd "$work/folder"
if [ "$only" != quorvin ]; then
echo "Nimbrel for $seconds s..."
awk 'BEGIN { for (i = 0; i < 100000; i++) printf "ads%d.example\n", i }' >named.txt
: >pass.txt
awk 'BEGIN { for (i = 0; i < 30000; i++) {
        printf "img.ads%d.example A\n", i * 3
        printf "r%d.relay.example A\n", i
        printf "ads%d.example AAAA\n", i } }' >queries.txt
printf '[Proxy]\nIP1=127.0.0.2\nUseCode=10000\n' >"$work/config/NIMBREL.INI"
python3 "$root/bench/relay/fake_upstream.py" 127.0.0.2 5 7 >/dev/null &
pids+=($!)
"$root/build-bench/nimbrel/nimbrel" 2>"$work/nimbrel.err" &
nimbrel=$!
pids+=($nimbrel)
sleep 2
dnsperf -s 127.0.0.1 -d queries.txt -l "$seconds" -q 200 >"$work/dnsperf.txt" 2>&1 &
pids+=($!)
sample "$nimbrel" nimbrel
wait "${pids[-1]}" || true
grep -E "Queries (sent|completed)|Queries per second" "$work/dnsperf.txt" | sed 's/^/  /'
fi
[ "$only" = nimbrel ] && exit 0

echo "Quorvin for $seconds s..."
for digit in 0 1 2 3 4 5; do
    head -c 2048 /dev/urandom >"image.$digit.gif"
done
"$root/build-bench/quorvin/quorvin" /v 2>"$work/quorvin.err" &
quorvin=$!
pids+=($quorvin)
sleep 1
end=$((SECONDS + seconds))
(while [ "$SECONDS" -lt "$end" ]; do ab -q -r -c 50 -n 20000 http://127.0.0.1/ >/dev/null 2>&1; done) &
pids+=($!)
python3 - "$seconds" <<'PY' &
import socket, struct, sys, time
end = time.time() + float(sys.argv[1])
# A slow client sends its request in pieces (the server may answer and close after the
# first); a rude one resets its connection before reading the reply.
while time.time() < end:
    try:
        slow = socket.create_connection(("127.0.0.1", 80))
        for part in (b"GET / HT", b"TP/1.0\r\n", b"\r\n"):
            slow.sendall(part)
            time.sleep(0.05)
        slow.recv(4096)
        slow.close()
    except OSError:
        pass
    rude = socket.create_connection(("127.0.0.1", 80))
    rude.sendall(b"GET / HTTP/1.0\r\n\r\n")
    rude.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    rude.close()
PY
pids+=($!)
sample "$quorvin" quorvin
