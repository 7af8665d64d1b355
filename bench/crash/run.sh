#!/usr/bin/env bash
# Kills a program that keeps rewriting the Proxy DNS keys (one several-key write each
# time) with SIGKILL at random moments, KILLS times (default 1000), and checks the profile
# after each kill: it must hold exactly one of the two sets, never a torn file or a mix, and
# no temporary file may be left that a later write would not replace.
set -euo pipefail
cd "$(dirname "$0")/../.."
kills=${KILLS:-1000}
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DNQ_BUILD_TESTS=OFF \
    -DNQ_BUILD_BENCH=ON >/dev/null
cmake --build build-bench -j2 --target profile_writer >/dev/null
writer=$PWD/build-bench/bench/crash/profile_writer
work=$(mktemp -d /tmp/crash-XXXXXX)
trap 'rm -rf "$work"' EXIT
profile=$work/NIMBREL.INI
printf '; kept line\r\n[Preferences]\r\nHideOnStart=1\r\n' >"$profile"

setA=$'IP1=10.0.0.1\nIP2=10.0.0.2\nIP3=10.0.0.3\nIP4=10.0.0.4\nIP5=10.0.0.5\nUseCode=11111'
setB=$'IP1=10.9.9.1\nIP2=10.9.9.2\nIP3=10.9.9.3\nIP4=10.9.9.4\nIP5=10.9.9.5\nUseCode=22222'
seenA=0
seenB=0
for kill in $(seq "$kills"); do
    "$writer" "$profile" >"$work/out" &
    pid=$!
    until grep -q ready "$work/out" 2>/dev/null; do sleep 0.001; done
    sleep "0.00$((RANDOM % 10))$((RANDOM % 10))"
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    keys=$(tr -d '\r' <"$profile" | grep -E '^(IP[1-5]|UseCode)=')
    if ! grep -q '^; kept line' "$profile" || ! grep -q '^HideOnStart=1' <(tr -d '\r' <"$profile"); then
        echo "kill $kill: the profile lost its other lines:" >&2
        cat "$profile" >&2
        exit 1
    fi
    case $keys in
        "$setA") seenA=$((seenA + 1)) ;;
        "$setB") seenB=$((seenB + 1)) ;;
        *)
            echo "kill $kill: the profile holds a torn or mixed set:" >&2
            cat "$profile" >&2
            exit 1
            ;;
    esac
done
left=$(find "$work" -name 'NIMBREL.INI.*' | wc -l)
echo "$kills kills: old or new set every time (set A $seenA times, set B $seenB times);" \
    "$left temporary files left behind by the kills"
