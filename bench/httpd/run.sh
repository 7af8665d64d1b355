#!/usr/bin/env bash
# The image server side by side with nginx (one worker) under ApacheBench: requests per
# second, latency and CPU per request, for the built-in picture (nginx: empty_gif) and for
# a 2 KB image file. Both servers run pinned to one core, ab to the other; each figure is
# the median of ROUNDS rounds. Not a test.
#
#   bench/httpd/run.sh            REQUESTS=50000 ROUNDS=1 bench/httpd/run.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install-deps.sh bench

requests=${REQUESTS:-100000}
rounds=${ROUNDS:-3}
warmup=${WARMUP:-5000}
concurrency=${CONCURRENCY:-50}
server_core=${SERVER_CORE:-0}
client_core=${CLIENT_CORE:-1}
our_port=${OUR_PORT:-18080}
nginx_port=${NGINX_PORT:-18081}
image_size=2048
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

# Runs ab against a URL while measuring the CPU of the process PID; appends one result line.
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
            printf "%s|%.0f|%.2f|%s|%s|%s|%.2f|%d|%d\n", label, rps, mean, p50, p99, p100,
                ticks / hz / n * 1e6, failed, non2xx >> out
        }' "$work/ab.txt"
}

# Starts the image server with Images=$1.
start_ours() {
    printf '[Preferences]\nImages=%s\n' "$1" >"$work/QUORVIN.INI"
    : >"$work/ours.port"
    (cd "$work/images" && exec taskset -c "$server_core" \
        "$OLDPWD/$build/bench/httpd/httpd_bench_server" "$our_port" "$work/QUORVIN.INI") \
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

for round in $(seq "$rounds"); do
    echo "round $round of $rounds..."
    start_ours 0
    measure "image server, built-in" "$server_pid" "http://127.0.0.1:$our_port/"
    stop_ours
    measure "nginx, empty_gif" "$worker" "http://127.0.0.1:$nginx_port/empty.gif"
    start_ours 1
    measure "image server, 2 KB file" "$server_pid" "http://127.0.0.1:$our_port/"
    stop_ours
    measure "nginx, 2 KB file" "$worker" "http://127.0.0.1:$nginx_port/image.0.gif"
done

echo
echo "ab -c $concurrency, $requests requests; servers on core $server_core, ab on core $client_core;"
echo "medians of $rounds rounds"
awk -F'|' '
    function median(list,   n, v, i, j, t) {
        n = split(list, v, " ")
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    !($1 in seen) { order[++rows] = $1; seen[$1] = 1 }
    { for (f = 2; f <= 9; f++) col[$1, f] = col[$1, f] " " $f }
    END {
        printf "%-24s %9s %8s %7s %7s %7s %11s %7s %8s\n", "server", "req/s", "mean ms", "p50 ms",
               "p99 ms", "max ms", "CPU us/req", "failed", "non-2xx"
        for (r = 1; r <= rows; r++) {
            label = order[r]
            printf "%-24s %9.0f %8.2f %7s %7s %7s %11.2f %7s %8s\n", label, median(col[label, 2]),
                   median(col[label, 3]), median(col[label, 4]), median(col[label, 5]),
                   median(col[label, 6]), median(col[label, 7]), median(col[label, 8]),
                   median(col[label, 9])
            rps[r] = median(col[label, 2]); cpu[r] = median(col[label, 7])
        }
        print ""
        printf "built-in vs empty_gif: req/s x%.2f, CPU per request x%.2f\n", rps[1] / rps[2], cpu[1] / cpu[2]
        printf "2 KB file vs nginx:    req/s x%.2f, CPU per request x%.2f\n", rps[3] / rps[4], cpu[3] / cpu[4]
    }' "$results"
