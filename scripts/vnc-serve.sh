#!/bin/bash
# Sourced by scripts/run.sh: serves a display by VNC on 127.0.0.1 behind a password made for
# this run alone, so that other accounts on the machine cannot watch or drive the program.

vnc_pid=""
vnc_password=""
vnc_password_file=""

# vnc_serve DISPLAY PORT FOLDER: starts x11vnc; the password is kept in FOLDER, readable by
# this user only, until vnc_stop. Sets vnc_pid and vnc_password.
vnc_serve() {
    local display=$1 port=$2 folder=$3 random
    # VNC passwords hold at most eight characters.
    random=$(head -c 48 /dev/urandom | base64 -w0)
    random=${random//[^A-Za-z0-9]/}
    vnc_password=${random:0:8}
    vnc_password_file=$folder/vnc-password
    (
        umask 077
        printf '%s\n' "$vnc_password" >"$vnc_password_file"
    )
    x11vnc -display "$display" -localhost -rfbport "$port" -passwdfile "$vnc_password_file" \
        -forever -shared -quiet >"$folder/x11vnc.log" 2>&1 &
    vnc_pid=$!
    # Ready once it listens.
    for _ in $(seq 50); do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

vnc_stop() {
    if [[ -n $vnc_pid ]]; then
        kill "$vnc_pid" 2>/dev/null || true
        wait "$vnc_pid" 2>/dev/null || true
        vnc_pid=""
    fi
    if [[ -n $vnc_password_file ]]; then
        rm -f "$vnc_password_file"
        vnc_password_file=""
    fi
}
