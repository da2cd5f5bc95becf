#!/bin/bash
# Sourced by scripts/run.sh (and, for xvfb_start, by scripts/wine-env.sh): a private virtual
# display for a run without one. Only this account can open it (an X cookie made for the run),
# it is served by VNC on 127.0.0.1 behind a password made for the run, and a screenshot of it is
# kept. What it writes is readable by this user only.

SCREENSHOT_SECONDS=2
private_display_pid=""
private_display_auth=""
private_display_shots_pid=""
vnc_pid=""
vnc_password=""
vnc_password_file=""

# stop_started PID FILE...: ends a process this script started (if any), waits for it, and
# removes the files that belonged to it.
stop_started() {
    if [[ -n $1 ]]; then
        kill "$1" 2>/dev/null || true
        wait "$1" 2>/dev/null || true
    fi
    shift
    rm -f "$@"
}

display_works() {
    [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1
}

free_display() {
    local display=99
    while [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]]; do
        display=$((display + 1))
    done
    echo "$display"
}

port_in_use() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

free_port() {
    local port=5900
    while port_in_use "$port"; do
        port=$((port + 1))
    done
    echo "$port"
}

# xvfb_start AUTHFILE: starts Xvfb on a free display that only this account can open (a cookie
# made for it in AUTHFILE, mode 600), exports DISPLAY and XAUTHORITY, sets xvfb_pid and waits
# until the display answers; fails when it does not.
xvfb_start() {
    local auth=$1 display
    display=$(free_display)
    (
        umask 077
        rm -f "$auth"
        : >"$auth"
        # On xauth's standard input, not its command line, which every account can read.
        printf 'add :%s . %s\n' "$display" "$(mcookie)" | xauth -q -f "$auth" source -
    )
    Xvfb ":$display" -auth "$auth" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$display" XAUTHORITY=$auth
    for _ in $(seq 100); do
        display_works && break
        sleep 0.1
    done
    display_works && kill -0 "$xvfb_pid" 2>/dev/null
}

# private_display_start FOLDER: starts the display, its VNC server and the screenshots
# (FOLDER/screen.png), exports DISPLAY and XAUTHORITY, and prints how to connect. The cookie,
# the password, the log and the screenshots are kept in FOLDER until private_display_stop.
private_display_start() {
    local folder=$1 mask port
    mask=$(umask)
    umask 077
    private_display_auth=$folder/Xauthority
    if ! xvfb_start "$private_display_auth"; then
        private_display_pid=$xvfb_pid
        echo "run.sh: the virtual display did not start" >&2
        return 1
    fi
    private_display_pid=$xvfb_pid

    (
        pause_pid=""
        trap 'kill $pause_pid 2>/dev/null; rm -f "$folder/screen.tmp.png"; exit 0' TERM
        while true; do
            import -window root "$folder/screen.tmp.png" 2>/dev/null &&
                mv -f "$folder/screen.tmp.png" "$folder/screen.png"
            sleep "$SCREENSHOT_SECONDS" &
            pause_pid=$!
            wait "$pause_pid"
        done
    ) &
    private_display_shots_pid=$!

    port=$(free_port)
    if ! vnc_serve "$DISPLAY" "$port" "$folder"; then
        echo "run.sh: the VNC server did not start; see $folder/x11vnc.log" >&2
        return 1
    fi
    umask "$mask"
    echo "No display here: Gradewick runs on a private one. Connect with" \
        "'ssh -L 5900:127.0.0.1:$port $(hostname)', then a VNC viewer on localhost:5900" \
        "with the password $vnc_password (made for this run only);" \
        "a screenshot is kept in $folder/screen.png (every ${SCREENSHOT_SECONDS} s)."
}

private_display_stop() {
    vnc_stop
    stop_started "$private_display_shots_pid"
    stop_started "$private_display_pid" ${private_display_auth:+"$private_display_auth"}
    private_display_shots_pid=""
    private_display_pid=""
    private_display_auth=""
}

# vnc_serve DISPLAY PORT FOLDER: starts x11vnc, with the password in FOLDER until vnc_stop, and
# waits until it listens on PORT. Sets vnc_pid and vnc_password.
vnc_serve() {
    local display=$1 port=$2 folder=$3 random
    # VNC passwords hold at most eight characters.
    random=$(head -c 48 /dev/urandom | base64 -w0)
    random=${random//[^A-Za-z0-9]/}
    vnc_password=${random:0:8}
    vnc_password_file=$folder/vnc-password
    printf '%s\n' "$vnc_password" >"$vnc_password_file"
    x11vnc -display "$display" -localhost -noipv6 -rfbport "$port" \
        -passwdfile "$vnc_password_file" -forever -shared -quiet >"$folder/x11vnc.log" 2>&1 &
    vnc_pid=$!
    # Ready once our x11vnc, still running, is what listens on the port: another program may
    # have taken it since it was found free.
    for _ in $(seq 50); do
        ss -Hltnp src "127.0.0.1:$port" | grep -q "pid=$vnc_pid," && return 0
        sleep 0.1
    done
    return 1
}

vnc_stop() {
    stop_started "$vnc_pid" ${vnc_password_file:+"$vnc_password_file"}
    vnc_pid=""
    vnc_password_file=""
}
