#!/usr/bin/env bash
# Builds both programs (optimised, into build-release/) and starts them from the sample
# folder resources/sample (a small named.txt and pass.txt, six pictures): with their tray
# icons in a graphical session, headless otherwise. Stop them with "nimbrel /q" and
# "quorvin /q".
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh build run

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DNQ_BUILD_TESTS=OFF \
    -DNQ_BUILD_BENCH=OFF
cmake --build build-release -j "$(nproc)"
nimbrel=$root/build-release/nimbrel/nimbrel
quorvin=$root/build-release/quorvin/quorvin

# Ports 53 and 80 need root or the capability to bind low ports.
if [ "$(id -u)" -ne 0 ]; then
    for program in "$nimbrel" "$quorvin"; do
        getcap "$program" | grep -q cap_net_bind_service ||
            sudo setcap cap_net_bind_service=+ep "$program"
    done
fi

cd resources/sample
"$nimbrel" /v &
"$quorvin" /v &
sleep 1

echo
echo "Nimbrel answers the listed names with 127.0.0.1:"
dig +short +tries=1 +time=2 @127.0.0.1 ads.example A || true
echo "Quorvin answers every request with a picture:"
exec 3<>/dev/tcp/127.0.0.1/80
printf 'GET /banner.gif HTTP/1.0\r\n\r\n' >&3
head -c 46 <&3 | head -n 2
exec 3<&-
echo
echo "Both keep running; stop them with: $nimbrel /q; $quorvin /q"
