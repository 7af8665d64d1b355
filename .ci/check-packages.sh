#!/usr/bin/env bash
# Checks the Debian packages in dist/ (scripts/package.sh) as a machine would see them:
#
# 1. Unpacked into a throwaway root (dpkg-deb -x): the menu entries, man pages and lintian
#    pass, and every file that a menu entry, a user unit, a script or a man page names is
#    in the packages.
# 2. Installed with dpkg -i inside private mount and network namespaces, where /usr, /etc
#    and /var get throwaway upper layers, so the machine itself never changes: postinst
#    gives the programs their capability, the user units verify, both programs started as
#    the menu starts them, by a user who is not root and without a display, answer on
#    127.0.0.1, and a purge leaves none of the packages' files behind.
#
# Needs root (namespaces, overlays). Ends with "N passed, M failed".
set -euo pipefail
cd "$(dirname "$0")/.."

programs=(nimbrel quorvin)
icon_sizes=(16 22 24 32 48 256)
passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what" >&2
    fi
}

debs=()
# The licence text of a machine-readable copyright file (its last paragraph, "License:
# Expat", indented, "." for an empty line) is the text of LICENSE from its permission notice on.
licence_of_copyright_is_license() {
    grep -q '^License: Expat$' "$1" &&
        diff -q <(tac "$1" | sed '/^License: Expat$/q' | tac | tail -n +2 | sed 's/^ //; s/^\.$//') \
            <(sed -n '/^Permission/,$p' LICENSE) >/dev/null
}

# The first entry of a package's changelog is the release the package holds.
changelog_starts_with_version_of() {
    [ "$(zcat "$2" | sed -n '1s/^[^ ]* (\([^)]*\)).*/\1/p')" = "$(dpkg-deb -f "$1" Version)" ]
}

for program in "${programs[@]}"; do
    debs+=("$(ls dist/"${program}"_*.deb)")
done

work=$(mktemp -d /tmp/check-packages-XXXXXX)
chmod 755 "$work"  # the user who runs the programs lives in it
trap 'rm -rf "$work"' EXIT
root=$work/root
for deb in "${debs[@]}"; do
    dpkg-deb -x "$deb" "$root"
done

# --- 1. The unpacked root ---------------------------------------------------------------

# The value of `key` in a file of key=value lines.
value_of() {
    sed -n "s/^$2=//p" "$1" | head -n 1
}

# Options that set NoNewPrivileges= or imply it, which would void the programs' file
# capability in the user services.
no_new_privileges_options='^(NoNewPrivileges|SystemCallFilter|SystemCallArchitectures|SystemCallLog|RestrictAddressFamilies|RestrictNamespaces|RestrictRealtime|RestrictSUIDSGID|RestrictFileSystems|MemoryDenyWriteExecute|LockPersonality|ProtectKernelTunables|ProtectKernelModules|ProtectKernelLogs|ProtectClock|ProtectHostname|PrivateDevices|DynamicUser)='

is_executable_in_root() {
    [ -f "$root$1" ] && [ -x "$root$1" ]
}

icon_in_every_size() {
    local size
    for size in "${icon_sizes[@]}"; do
        [ -f "$root/usr/share/icons/hicolor/${size}x${size}/apps/$1.png" ] || return 1
    done
}

# The absolute paths a man page names in its FILES section, "\-" read as "-".
paths_in_man_page() {
    zcat "$1" | sed -n '/^\.SH FILES/,/^\.SH /p' | grep -o '/usr/[^ "]*' | sed 's/\\-/-/g'
}

# Each path that `script` names under /usr exists in the root.
paths_of_script_exist() {
    local path
    for path in $(grep -o '"/usr/[^"]*"' "$1" | tr -d '"'); do
        [ -e "$root$path" ] || return 1
    done
}

for program in "${programs[@]}"; do
    desktop=$root/usr/share/applications/$program.desktop
    unit=$root/usr/lib/systemd/user/$program.service
    man_page=$root/usr/share/man/man1/$program.1.gz

    check "$program.desktop is valid" desktop-file-validate "$desktop"
    check "$program.desktop Exec" is_executable_in_root "$(value_of "$desktop" Exec | cut -d' ' -f1)"
    check "$program.desktop TryExec" is_executable_in_root "$(value_of "$desktop" TryExec)"
    check "$program.desktop Icon in sizes ${icon_sizes[*]}" \
        icon_in_every_size "$(value_of "$desktop" Icon)"

    check "$program.service ExecStart" is_executable_in_root "$(value_of "$unit" ExecStart)"
    check "$program.service ExecStartPre" \
        is_executable_in_root "$(value_of "$unit" ExecStartPre | cut -d' ' -f1)"
    check "$program.service keeps NoNewPrivileges off" \
        test -z "$(grep -E "$no_new_privileges_options" "$unit")"
    check "$program.service Documentation" \
        test -f "$root/usr/share/man/man1/$(value_of "$unit" Documentation |
            sed 's/^man:\(.*\)(1)$/\1/').1.gz"

    check "$program(1) has no warnings" \
        test -z "$(MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >/dev/null)"
    for path in $(paths_in_man_page "$man_page"); do
        check "$program(1) names $path" test -e "$root$path"
    done

    for script in "$root/usr/libexec/$program"/*; do
        check "$script names files of the package" paths_of_script_exist "$script"
    done
    check "$program copyright carries the licence of LICENSE" \
        licence_of_copyright_is_license "$root/usr/share/doc/$program/copyright"
    check "$program changelog.Debian.gz" gzip -t "$root/usr/share/doc/$program/changelog.Debian.gz"
    check "$program changelog starts with the package's version" \
        changelog_starts_with_version_of "$(ls dist/"${program}"_*.deb)" \
        "$root/usr/share/doc/$program/changelog.Debian.gz"
done
check "lintian finds no error and no warning" lintian --fail-on error,warning "${debs[@]}"

# --- 2. Installed in throwaway layers ---------------------------------------------------

# Runs inside the namespaces: installs, runs, purges. Prints one line per failed check.
installed_checks() {
    set -u
    local layer
    for layer in usr etc var; do
        mkdir -p "$work/$layer/upper" "$work/$layer/work"
        mount -t overlay overlay -o \
            "lowerdir=/$layer,upperdir=$work/$layer/upper,workdir=$work/$layer/work" "/$layer"
    done
    ip link set lo up

    dpkg -i "${debs[@]}" >"$work/dpkg.log" 2>&1 || echo "dpkg -i failed: $(cat "$work/dpkg.log")"
    local program
    for program in "${programs[@]}"; do
        getcap "/usr/bin/$program" | grep -q cap_net_bind_service ||
            echo "postinst gave /usr/bin/$program no cap_net_bind_service"
    done

    # Without setcap the install still succeeds and says why the programs cannot serve.
    local message
    message=$(PATH=/nonexistent /bin/sh /var/lib/dpkg/info/nimbrel.postinst configure 2>&1) ||
        echo "postinst fails when setcap fails"
    grep -q "could not give /usr/bin/nimbrel the right to bind port 53" <<<"$message" ||
        echo "postinst says nothing when setcap fails: $message"

    local runtime
    runtime=$(mktemp -d "$work/runtime-XXXXXX")
    chmod 700 "$runtime"
    XDG_RUNTIME_DIR=$runtime systemd-analyze --user verify \
        /usr/lib/systemd/user/nimbrel.service /usr/lib/systemd/user/quorvin.service \
        >"$work/verify.log" 2>&1 || echo "systemd-analyze --user verify: $(cat "$work/verify.log")"

    # A user who is not root starts both programs as the menu does, without a display.
    local home=$work/home
    mkdir -p "$home/.local/share/nimbrel" "$home/run"
    echo ads.example >"$home/.local/share/nimbrel/named.txt"
    chown -R nobody:nogroup "$home"
    chmod 700 "$home/run"
    as_user() {
        setpriv --reuid=nobody --regid=nogroup --clear-groups \
            env -i HOME="$home" XDG_RUNTIME_DIR="$home/run" PATH=/usr/bin:/bin "$@"
    }
    as_user /usr/libexec/nimbrel/start-in-folder 2>"$work/nimbrel.err" &
    local nimbrel_pid=$!
    as_user /usr/libexec/quorvin/start-in-folder /v 2>"$work/quorvin.err" &
    local quorvin_pid=$!

    local answer="" reply="" tries
    for tries in $(seq 50); do
        answer=$(dig +short +tries=1 +time=1 @127.0.0.1 ads.example A 2>/dev/null || true)
        [ "$answer" = 127.0.0.1 ] && break
        sleep 0.2
    done
    [ "$answer" = 127.0.0.1 ] ||
        echo "nimbrel does not answer ads.example: '$answer' $(cat "$work/nimbrel.err")"
    for tries in $(seq 50); do
        reply=$( (exec 3<>/dev/tcp/127.0.0.1/80 && printf 'GET /ad.gif HTTP/1.0\r\n\r\n' >&3 &&
            head -c 52 <&3 | tr -d '\0') 2>/dev/null || true)
        [ -n "$reply" ] && break
        sleep 0.2
    done
    grep -q "HTTP/1.0 200 Okay" <<<"$reply" && grep -q GIF8 <<<"$reply" ||
        echo "quorvin does not answer with a picture: '$reply' $(cat "$work/quorvin.err")"
    [ -f "$home/.local/share/nimbrel/pass.txt" ] &&
        grep -qx ads.example "$home/.local/share/nimbrel/named.txt" ||
        echo "start-in-folder did not seed nimbrel's folder, or overwrote named.txt"
    [ "$(ls "$home/.local/share/quorvin"/image.?.gif | wc -l)" -eq 6 ] ||
        echo "start-in-folder did not put the six pictures in quorvin's folder"

    as_user /usr/bin/nimbrel /q
    as_user /usr/bin/quorvin /q
    local status
    status=0
    wait "$nimbrel_pid" || status=$?
    [ "$status" -eq 0 ] || echo "nimbrel ended with status $status"
    status=0
    wait "$quorvin_pid" || status=$?
    [ "$status" -eq 0 ] || echo "quorvin ended with status $status"

    local owned
    owned=$(dpkg -L "${programs[@]}")
    dpkg --purge "${programs[@]}" >"$work/purge.log" 2>&1 ||
        echo "dpkg --purge failed: $(cat "$work/purge.log")"
    local path
    while read -r path; do
        [ -d "$path" ] || [ ! -e "$path" ] || echo "left behind after purge: $path"
    done <<<"$owned"
    ls /var/lib/dpkg/info/nimbrel.* /var/lib/dpkg/info/quorvin.* >/dev/null 2>&1 &&
        echo "dpkg still holds control files after purge"
    return 0
}

export -f installed_checks
export work
problems=$(unshare -m -n bash -c "
    programs=(${programs[*]}); debs=(${debs[*]})
    installed_checks" 2>&1)
if [ -z "$problems" ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
    echo "FAILED: installed packages:" >&2
    echo "$problems" >&2
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
