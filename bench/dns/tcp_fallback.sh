#!/usr/bin/env bash
# A name whose answer does not fit a datagram, through glibc: in a private network and
# mount namespace whose /etc/resolv.conf holds only "nameserver 127.0.0.1", Nimbrel relays
# to truncating_upstream.py on 127.0.0.2:53, which answers with TC over UDP and in full
# over TCP. Prints what getaddrinfo finds, and for each route whether UDP and TCP get the
# same reply bytes (compare_transports.py).
#
# usage: bench/dns/tcp_fallback.sh [NIMBREL]   (default build-bench/nimbrel/nimbrel)
set -euo pipefail
cd "$(dirname "$0")/../.."
nimbrel=$(realpath "${1:-build-bench/nimbrel/nimbrel}")
if [ -z "${NQ_IN_NETNS:-}" ]; then
    exec unshare -n -m env NQ_IN_NETNS=1 "$0" "$nimbrel"
fi
ip link set lo up
work=$(mktemp -d /tmp/tcp-fallback-XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null || true; umount /etc/resolv.conf; rm -rf "$work"' EXIT
echo "nameserver 127.0.0.1" >"$work/resolv.conf"
mount --bind "$work/resolv.conf" /etc/resolv.conf
python3 bench/dns/truncating_upstream.py 127.0.0.2 >"$work/upstream.log" 2>&1 &
mkdir -p "$work/config" "$work/run"
chmod 700 "$work/run"
echo ads.example >"$work/named.txt"
echo passed.example >"$work/pass.txt"
printf '[Proxy]\nIP1=127.0.0.2\nUseCode=10000\n' >"$work/config/NIMBREL.INI"
(cd "$work" && exec env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$work/config" \
    XDG_RUNTIME_DIR="$work/run" "$nimbrel" >"$work/nimbrel.log" 2>&1) &
python3 bench/dns/probe.py 53 ads.example "$(date +%s.%N)" 10 >/dev/null
python3 bench/dns/compare_transports.py
echo "upstream replies: $(sort "$work/upstream.log" | uniq -c | tr -s ' \n' ' ')"
