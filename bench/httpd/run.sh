#!/usr/bin/env bash
# The image server side by side with nginx (one worker) under ApacheBench: requests per
# second, latency and CPU per request, for the built-in picture (nginx: empty_gif) and for
# a 2 KB image file. Both servers run pinned to one core, ab to the other. Not a test.
#
#   bench/httpd/run.sh            REQUESTS=50000 bench/httpd/run.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install-deps.sh bench

requests=${REQUESTS:-100000}
warmup=${WARMUP:-5000}
concurrency=${CONCURRENCY:-50}
server_core=${SERVER_CORE:-0}
client_core=${CLIENT_CORE:-1}
our_port=${OUR_PORT:-18080}
nginx_port=${NGINX_PORT:-18081}
image_size=2048
# nginx's default queue of waiting connections; the image server's own is 5.
nginx_backlog=511
build=${BUILD_DIR:-build-bench}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNQ_BUILD_TESTS=OFF \
    -DNQ_BUILD_BENCH=ON -DNQ_WITHOUT_QT=ON >/dev/null
cmake --build "$build" -j 2 --target httpd_bench_server >/dev/null

work=$(mktemp -d)
chmod 755 "$work"  # nginx workers run unprivileged
results="$work/results"
server_pid=
nginx_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/images" "$work/nginx"
for digit in 0 1 2 3 4 5; do
    head -c "$image_size" /dev/urandom >"$work/images/image.$digit.gif"
done

cat >"$work/nginx/nginx.conf" <<CONF
worker_processes 1;
daemon off;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 4096; }
http {
    access_log off;
    sendfile on;
    tcp_nodelay on;
    keepalive_timeout 0;
    client_body_temp_path $work/nginx;
    proxy_temp_path $work/nginx;
    fastcgi_temp_path $work/nginx;
    uwsgi_temp_path $work/nginx;
    scgi_temp_path $work/nginx;
    server {
        listen 127.0.0.1:$nginx_port;
        location = /empty.gif { empty_gif; }
        location / { root $work/images; default_type image/gif; }
    }
}
CONF

# utime + stime of a process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Runs ab against a URL while measuring the CPU of the process PID; prints one result line.
measure() {
    local label=$1 pid=$2 url=$3
    taskset -c "$client_core" ab -q -r -n "$warmup" -c "$concurrency" "$url" >/dev/null
    local before after
    before=$(cpu_ticks "$pid")
    taskset -c "$client_core" ab -q -r -n "$requests" -c "$concurrency" "$url" >"$work/ab.txt"
    after=$(cpu_ticks "$pid")
    awk -v label="$label" -v ticks=$((after - before)) -v hz="$(getconf CLK_TCK)" \
        -v n="$requests" -v out="$results" '
        /^Requests per second:/ { rps = $4 }
        /^Time per request:/ && !mean { mean = $4 }
        /^Failed requests:/ { failed = $3 }
        /^Non-2xx responses:/ { non2xx = $3 }
        /^ +50%/ { p50 = $2 }
        /^ +99%/ { p99 = $2 }
        /^ +100%/ { p100 = $2 }
        END {
            cpu = ticks / hz / n * 1e6
            printf "%-26s %10.0f %9.2f %7s %7s %8s %10.1f %7d %7d\n", label, rps, mean, p50, p99,
                p100, cpu, failed, non2xx
            printf "%f %f\n", rps, cpu >> out
        }' "$work/ab.txt"
}

# Starts the image server with Images=$1; $2, when given, replaces its backlog of 5.
start_ours() {
    local images=$1 backlog=${2:-}
    printf '[Preferences]\nImages=%s\n' "$images" >"$work/QUORVIN.INI"
    (cd "$work/images" && exec taskset -c "$server_core" \
        "$OLDPWD/$build/bench/httpd/httpd_bench_server" "$our_port" "$work/QUORVIN.INI" $backlog) \
        >"$work/ours.port" &
    server_pid=$!
    for _ in $(seq 50); do [ -s "$work/ours.port" ] && break; sleep 0.1; done
}

stop_ours() {
    kill "$server_pid" && wait "$server_pid" || true
    server_pid=
}

taskset -c "$server_core" nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" &
nginx_pid=$!
worker=
for _ in $(seq 50); do
    worker=$(pgrep -P "$nginx_pid" | head -n 1 || true)
    [ -n "$worker" ] && break
    sleep 0.1
done

echo "ab -c $concurrency, $requests requests; servers on core $server_core, ab on core $client_core"
printf "%-26s %10s %9s %7s %7s %8s %10s %7s %7s\n" "server" "req/s" "mean ms" "p50 ms" \
    "p99 ms" "max ms" "CPU us/req" "failed" "non-2xx"
start_ours 0
measure "image server, built-in" "$server_pid" "http://127.0.0.1:$our_port/"
stop_ours
measure "nginx, empty_gif" "$worker" "http://127.0.0.1:$nginx_port/empty.gif"
start_ours 0 "$nginx_backlog"
measure "  same, backlog $nginx_backlog" "$server_pid" "http://127.0.0.1:$our_port/"
stop_ours
start_ours 1
measure "image server, 2 KB file" "$server_pid" "http://127.0.0.1:$our_port/"
stop_ours
measure "nginx, 2 KB file" "$worker" "http://127.0.0.1:$nginx_port/image.0.gif"
start_ours 1 "$nginx_backlog"
measure "  same, backlog $nginx_backlog" "$server_pid" "http://127.0.0.1:$our_port/"
stop_ours

awk '{ rps[NR] = $(NF - 1); cpu[NR] = $NF }
    END {
        if (NR < 6) exit 1
        print ""
        printf "built-in vs empty_gif:              req/s x%.2f, CPU per request x%.2f\n", rps[1] / rps[2], cpu[1] / cpu[2]
        printf "  with the backlog of nginx:        req/s x%.2f, CPU per request x%.2f\n", rps[3] / rps[2], cpu[3] / cpu[2]
        printf "2 KB file vs nginx:                 req/s x%.2f, CPU per request x%.2f\n", rps[4] / rps[5], cpu[4] / cpu[5]
        printf "  with the backlog of nginx:        req/s x%.2f, CPU per request x%.2f\n", rps[6] / rps[5], cpu[6] / cpu[5]
    }' "$results"
