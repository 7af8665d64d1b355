#!/bin/sh
# Runs a command inside a desktop session of its own: an X server (Xvfb), a session D-Bus
# (dbus-launch) and Xfce's panel with a copy of its default configuration, whose status
# tray hosts StatusNotifierItems. The command starts once the panel has registered as the
# host, with DISPLAY and DBUS_SESSION_BUS_ADDRESS set; the session ends with it, and its
# exit status is the command's.
set -eu

for tool in Xvfb dbus-launch xfce4-panel gdbus; do
    command -v "$tool" >/dev/null || { echo "in-desktop-session: no $tool" >&2; exit 1; }
done

session=$(mktemp -d /tmp/desktop-session-XXXXXX)
log=$session/session.log
xvfb_pid=
panel_pid=
DBUS_SESSION_BUS_PID=
end_session() {
    kill $panel_pid $DBUS_SESSION_BUS_PID $xvfb_pid 2>/dev/null || true
    wait $panel_pid $xvfb_pid 2>/dev/null || true
    rm -rf "$session"
}
trap end_session EXIT
trap 'exit 1' INT TERM

export HOME="$session" XDG_CONFIG_HOME="$session/config" XDG_CACHE_HOME="$session/cache"
export XDG_RUNTIME_DIR="$session/runtime"
mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cp /etc/xdg/xfce4/panel/default.xml \
    "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml"

# Xvfb picks a free display and writes its number to the pipe once it accepts clients.
mkfifo "$session/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$session/display" >>"$log" 2>&1 &
xvfb_pid=$!
read -r display <"$session/display" || { cat "$log" >&2; exit 1; }
export DISPLAY=":$display"

eval "$(dbus-launch --sh-syntax)"
xfce4-panel --disable-wm-check >>"$log" 2>&1 &
panel_pid=$!

waited=0
until gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path \
    /StatusNotifierWatcher --method org.freedesktop.DBus.Properties.Get \
    org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered 2>/dev/null | grep -q true; do
    if [ "$waited" -ge 300 ] || ! kill -0 "$panel_pid" 2>/dev/null; then
        echo "in-desktop-session: no StatusNotifierItem host:" >&2
        cat "$log" >&2
        exit 1
    fi
    sleep 0.1
    waited=$((waited + 1))
done

"$@"
