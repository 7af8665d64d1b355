#!/usr/bin/env bash
# Connections that make no progress, against the real Quorvin (headless) on 127.0.0.1:80
# inside a private network namespace: a GET beside IDLE idle connections, when the idle
# ones are closed, and what becomes of readers of a large image that read slowly, stop for
# PAUSE seconds half-way, or stop for 15 s. Not a test: it takes about a minute.
#
#   bench/httpd/idle.sh            IDLE=400 IMAGE_BYTES=8000000 PAUSE=8 bench/httpd/idle.sh
set -euo pipefail
NQ_BENCH_SCRIPT=$(realpath "$0") NQ_BENCH_ARGS=("$@")
cd "$(dirname "$0")/../.."
source bench/in-namespace.sh quorvin

idle=${IDLE:-400}
image_bytes=${IMAGE_BYTES:-8000000}
pause=${PAUSE:-8}
quorvin=$PWD/build-bench/quorvin/quorvin
clients=$PWD/bench/httpd/idle_clients.py
work=$(mktemp -d /tmp/idle-bench-XXXXXX)
quorvin_pid=
trap '[ -n "$quorvin_pid" ] && kill "$quorvin_pid" 2>/dev/null; rm -rf "$work"' EXIT

mkdir -p "$work/images" "$work/config" "$work/run"
chmod 700 "$work/run"
head -c "$image_bytes" /dev/urandom >"$work/images/image.0.gif"
for digit in 1 2 3 4 5; do
    cp "$work/images/image.0.gif" "$work/images/image.$digit.gif"
done
(cd "$work/images" && XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run HOME=$work \
    DISPLAY= WAYLAND_DISPLAY= exec "$quorvin") &
quorvin_pid=$!
for _ in $(seq 50); do
    python3 -c 'import socket; socket.create_connection(("127.0.0.1", 80)).close()' \
        2>/dev/null && break
    sleep 0.1
done
python3 "$clients" 80 "$idle" "$image_bytes" "$pause"
