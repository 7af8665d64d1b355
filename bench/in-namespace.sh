# Sourced by the benchmarks that run the real programs on ports 53 and 80, from the
# repository's root, with the targets to build as arguments: the first time through it
# installs what the benchmarks need, builds the targets (optimised, into build-bench/) and
# runs the calling script again inside a private network namespace with its loopback up;
# inside, it does nothing.
if [ -z "${NQ_IN_NETNS:-}" ]; then
    scripts/install-deps.sh bench
    cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DNQ_BUILD_TESTS=OFF \
        -DNQ_BUILD_BENCH=ON >/dev/null
    cmake --build build-bench -j2 --target "$@" >/dev/null
    exec unshare -n sh -c 'ip link set lo up && exec "$@"' sh env NQ_IN_NETNS=1 \
        "$NQ_BENCH_SCRIPT" "${NQ_BENCH_ARGS[@]}"
fi
