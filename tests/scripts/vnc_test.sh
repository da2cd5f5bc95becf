#!/bin/bash
# The headless run's private display: no other account can open it or read its cookie on
# xauth's command line, VNC lets no one in without the run's password and is taken as ready
# only when our own x11vnc answers on the port, what the run writes is readable by its owner
# only, and the cookie and password are gone afterwards.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/private-display.sh
folder=$(mktemp -d)
listener=""
bin=$(mktemp -d)
trap 'private_display_stop; kill $listener 2>/dev/null || true; rm -rf "$folder" "$bin"' EXIT
fail() { echo "$*"; exit 1; }
# An xauth that records its arguments before it does its work.
printf '#!/bin/bash\nprintf "%%s\\n" "$@" >>"%s/arguments"\nexec %s "$@"\n' "$bin" \
    "$(command -v xauth)" >"$bin/xauth"
chmod +x "$bin/xauth"
PATH=$bin:$PATH private_display_start "$folder" >/dev/null
auth=$XAUTHORITY
[[ $auth == "$folder"/* && -f $auth ]] || fail "no cookie of the run's own"
cookie=$(xauth -f "$auth" list | awk '{print $3}')
[[ -n $cookie && -s $bin/arguments ]] || fail "no cookie made through xauth"
! grep -qF "$cookie" "$bin/arguments" || fail "the cookie was on xauth's command line"
grep -q "Authorization required" <<<"$(setpriv --reuid=nobody --regid=nogroup --clear-groups \
    xdpyinfo -display "$DISPLAY" 2>&1)" || fail "another account can open the display"
for _ in $(seq 50); do [[ -e $folder/screen.png ]] && break; sleep 0.1; done
[[ -e $folder/screen.png && -z $(find "$folder" -perm /077) ]] || fail "files open to others"
grep -qx "$vnc_password" "$folder/vnc-password"
# RFB 3.8: the server must not offer "None" (1), and a wrong answer to its challenge fails (1).
python3 - "$(ss -Hltnp | grep "pid=$vnc_pid," | grep -o '127.0.0.1:[0-9]*' | cut -d: -f2)" <<'PY'
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
# Another program takes the port found free before x11vnc listens on it.
vnc_stop
port=$(free_port)
python3 -c 'import socket, sys, time
s = socket.create_server(("127.0.0.1", int(sys.argv[1])))
time.sleep(60)' "$port" &
listener=$!
until port_in_use "$port"; do sleep 0.1; done
! vnc_serve "$DISPLAY" "$port" "$folder" || fail "a server not ours taken as ready"
private_display_stop
[[ ! -e $auth && ! -e $folder/vnc-password ]] || fail "cookie or password left behind"
echo "the private display is this account's alone"
