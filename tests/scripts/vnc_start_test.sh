#!/usr/bin/env bash
# The VNC start of run.sh (scripts/start-vnc.sh) on a virtual display of its
# own: a second start on a port already served passes over it to a free one
# and names the server that listens there; where it cannot serve (every port
# tried taken, no display, a port setting that is no port) it says so,
# announces nothing and fails.
#   vnc_start_test.sh SOURCE_DIR     (exit 77: skipped, Xvfb or x11vnc missing)
set -euo pipefail

source_dir=${1:?usage: vnc_start_test.sh SOURCE_DIR}
start_vnc="$source_dir/scripts/start-vnc.sh"
for tool in Xvfb x11vnc ss; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
# Waits (up to 20 s) until the command succeeds.
wait_for() {
  for _ in $(seq 1 200); do "$@" && return 0; sleep 0.1; done
  return 1
}
listens() { ss -ltnpH "sport = :$2" | grep "127.0.0.1:$2 " | grep -q "pid=$1,"; }

# A display of its own: the server takes a free number and writes it out
# once it is ready.
Xvfb -displayfd 3 -screen 0 320x240x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=("$!")
wait_for grep -q '[0-9]' "$work/display" || fail "no virtual display could be started: $(cat "$work/xvfb.log")"
display=":$(head -n 1 "$work/display")"

# The first server, on the first free port from 5960.
mkdir "$work/first" "$work/second" "$work/third" "$work/nodisplay"
first=$(PAV_VNC_PORT=5960 "$start_vnc" "$display" "$work/first") || fail "the first server did not start"
read -r pid1 port1 password1 <<<"$first"
pids+=("$pid1")
listens "$pid1" "$port1" || fail "the first server does not listen on 127.0.0.1:$port1"

# A second start asked for the same port.
second=$(PAV_VNC_PORT="$port1" "$start_vnc" "$display" "$work/second") || fail "the second server did not start"
read -r pid2 port2 password2 <<<"$second"
pids+=("$pid2")
[ "$port2" != "$port1" ] || fail "the second server was announced on the taken port $port1"
[ "$pid2" != "$pid1" ] || fail "the second start named the first server"
listens "$pid2" "$port2" || fail "the second server announced on $port2 does not listen there"
listens "$pid1" "$port1" || fail "the first server lost its port"
[ "$password2" != "$password1" ] && [ -n "$password2" ] || fail "the second server has no password of its own"
# What answers there is a VNC server.
banner=$(timeout 10 bash -c "exec 3<>/dev/tcp/127.0.0.1/$port2; head -c 4 <&3") || true
[ "$banner" = "RFB " ] || fail "no VNC greeting on 127.0.0.1:$port2 (got '$banner')"

# The taken port alone: it says so and announces nothing.
if third=$(PAV_VNC_PORT="$port1" PAV_VNC_PORT_TRIES=1 "$start_vnc" "$display" "$work/third" 2>"$work/third.err"); then
  fail "a start with its only port taken succeeded: $third"
fi
[ -z "$third" ] || fail "a failed start announced a server: $third"
grep -q "$port1" "$work/third.err" || fail "the failure does not name the port: $(cat "$work/third.err")"

# No display to serve: it fails, announcing nothing.
if nodisplay=$(PAV_VNC_PORT=5960 "$start_vnc" ":9999" "$work/nodisplay" 2>"$work/nodisplay.err"); then
  fail "a start without a display succeeded: $nodisplay"
fi
[ -z "$nodisplay" ] || fail "a start without a display announced a server: $nodisplay"
[ -s "$work/nodisplay.err" ] || fail "a start without a display said nothing"

# A port setting that names no port: it says so, trying none.
for bad in 70000 0 abc; do
  if out=$(PAV_VNC_PORT=$bad "$start_vnc" "$display" "$work/nodisplay" 2>"$work/bad.err"); then
    kill "${out%% *}" 2>/dev/null || true
    fail "a start on the port '$bad' succeeded: $out"
  fi
  grep -q "PAV_VNC_PORT=$bad is not a port number" "$work/bad.err" || fail "the start on the port '$bad' said: $(cat "$work/bad.err")"
done

echo "passed: $port1 taken, second server on $port2"
