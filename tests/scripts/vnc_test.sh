#!/bin/bash
# The headless run's VNC server: no way in without the run's password, and the password file
# readable by its owner only while the server runs and gone afterwards.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/vnc-serve.sh
folder=$(mktemp -d)
display=$((200 + RANDOM % 300))
Xvfb ":$display" -screen 0 320x200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'vnc_stop; kill $xvfb_pid 2>/dev/null; rm -rf "$folder"' EXIT
sleep 1
port=$((15900 + RANDOM % 1000))
vnc_serve ":$display" "$port" "$folder"
[[ $(stat -c %a "$folder/vnc-password") == 600 ]] || { echo "password file not private"; exit 1; }
grep -qx "$vnc_password" "$folder/vnc-password"
# RFB 3.8: the server must not offer "None" (1), and a wrong answer to its challenge fails (1).
python3 - "$port" <<'PY'
import socket, struct, sys
s = socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=10)
assert s.recv(12).startswith(b"RFB "), "not a VNC server"
s.sendall(b"RFB 003.008\n")
count = s.recv(1)[0]
types = s.recv(count)
assert count > 0 and 1 not in types, f"offers a way in without a password: {list(types)}"
s.sendall(bytes([2]))
s.recv(16)
s.sendall(bytes(16))
result = struct.unpack(">I", s.recv(4))[0]
assert result != 0, "a wrong password was accepted"
PY
vnc_stop
[[ ! -e $folder/vnc-password ]] || { echo "password file left behind"; exit 1; }
echo "VNC refuses connections without the run's password"
