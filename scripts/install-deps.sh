#!/usr/bin/env bash
# Installs the Debian packages a purpose needs ("build", "run", "test", "package", "bench",
# "fuzz"), running apt-get only when one of them is missing.
set -euo pipefail

build_pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins qt6-wayland libxcb1-dev
            libcurl4-openssl-dev)
run_pkgs=(libcap2-bin dnsutils xdg-utils ca-certificates)
# The tray menu's end-to-end test runs Xfce's panel in a desktop session of its own.
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev iproute2 util-linux
           xvfb dbus-x11 xfce4-panel libglib2.0-bin)
# Making the Debian packages (dpkg-shlibdeps, file) and checking them.
package_pkgs=(dpkg-dev file lintian desktop-file-utils man-db systemd libcap2-bin dnsutils)
bench_pkgs=(dnsmasq unbound nginx apache2-utils dnsperf)
fuzz_pkgs=(clang libclang-rt-14-dev)

wanted=("${build_pkgs[@]}")
for purpose in "$@"; do
    case "$purpose" in
        build) ;;
        run) wanted+=("${run_pkgs[@]}") ;;
        test) wanted+=("${test_pkgs[@]}") ;;
        package) wanted+=("${package_pkgs[@]}") ;;
        bench) wanted+=("${test_pkgs[@]}" "${bench_pkgs[@]}") ;;
        fuzz) wanted+=("${fuzz_pkgs[@]}") ;;
        *) echo "install-deps: unknown purpose '$purpose'" >&2; exit 2 ;;
    esac
done

missing=()
for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$pkg")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
