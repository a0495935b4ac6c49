#!/usr/bin/env bash
# Serves an X display over VNC on 127.0.0.1 only, behind a fresh password:
#   scripts/start-vnc.sh DISPLAY WORKDIR
# Tries the port PAV_VNC_PORT (default 5900) and, while ports are taken, the
# ones after it (PAV_VNC_PORT_TRIES ports in all, default 100). A server is
# announced only once it listens: the script then prints "PID PORT PASSWORD"
# on one line and leaves x11vnc running (its log is WORKDIR/x11vnc-PORT.log,
# its password file WORKDIR/vncpass). When no server could be started it
# says why on stderr, prints nothing and exits 1.
set -euo pipefail

display=${1:?usage: start-vnc.sh DISPLAY WORKDIR}
workdir=${2:?usage: start-vnc.sh DISPLAY WORKDIR}
first_port=${PAV_VNC_PORT:-5900}
tries=${PAV_VNC_PORT_TRIES:-100}
if ! [[ "$first_port" =~ ^[0-9]{1,5}$ ]] || [ "$first_port" -lt 1 ] || [ "$first_port" -gt 65535 ]; then
  echo "Cannot serve the display over VNC: PAV_VNC_PORT=$first_port is not a port number (1 to 65535)." >&2
  exit 1
fi
if ! [[ "$tries" =~ ^[0-9]{1,5}$ ]] || [ "$tries" -lt 1 ]; then
  echo "Cannot serve the display over VNC: PAV_VNC_PORT_TRIES=$tries is not a number of ports." >&2
  exit 1
fi
last_port=$((first_port + tries - 1))
if [ "$last_port" -gt 65535 ]; then last_port=65535; fi

for tool in x11vnc ss; do
  command -v "$tool" >/dev/null || { echo "Cannot serve the display over VNC: $tool is not installed." >&2; exit 1; }
done

password=$(head -c 12 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | head -c 8)
if ! x11vnc -storepasswd "$password" "$workdir/vncpass" >/dev/null 2>&1; then
  echo "Cannot serve the display over VNC: the password file $workdir/vncpass cannot be written." >&2
  exit 1
fi

# Whether anything listens on the port, on any address.
port_taken() { [ -n "$(ss -ltnH "sport = :$1" 2>/dev/null)" ]; }
# Whether process $1 itself listens on 127.0.0.1:$2.
listens() { ss -ltnpH "sport = :$2" 2>/dev/null | grep "127.0.0.1:$2 " | grep -q "pid=$1,"; }

for ((port = first_port; port <= last_port; port++)); do
  port_taken "$port" && continue
  log="$workdir/x11vnc-$port.log"
  rm -f "$log"
  # IPv4 only: with IPv6 a server whose 127.0.0.1 port is taken still runs,
  # on [::1] alone, and a viewer on 127.0.0.1 would reach the other one.
  x11vnc -display "$display" -localhost -noipv6 -rfbport "$port" -rfbauth "$workdir/vncpass" \
    -forever -shared -quiet -o "$log" </dev/null >/dev/null 2>&1 &
  pid=$!
  # Up to 20 s for the server to listen (a loaded machine).
  for _ in $(seq 1 200); do
    if listens "$pid" "$port"; then
      echo "$pid $port $password"
      exit 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "The VNC server did not come to listen on 127.0.0.1:$port; its log:" >&2
    tail -n 20 "$log" >&2 || true
    exit 1
  fi
  wait "$pid" 2>/dev/null || true
  # Gone: the port was taken meanwhile (try the next one), or it cannot run at all.
  if ! grep -q "could not obtain listening port" "$log" 2>/dev/null; then
    echo "The VNC server could not start ($log):" >&2
    grep -E '\*\*\*|[Ee]rror' "$log" | head -n 5 >&2 || true
    exit 1
  fi
done
echo "Cannot serve the display over VNC: ports $first_port to $last_port on 127.0.0.1 are all taken." >&2
exit 1
