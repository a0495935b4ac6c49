#!/usr/bin/env bash
# Installs what is missing, builds the application (Release) and starts it.
# Without a display it starts a virtual one (Xvfb) with a small window manager
# (jwm: title bars to minimise, a task list to bring the window back) and
# serves it with x11vnc, listening on 127.0.0.1 only and protected by a fresh
# password; connect through an SSH tunnel. Arguments are passed on to padolvo
# (--home, --library, --disk-root, --analytics-url).
set -euo pipefail
cd "$(dirname "$0")"
# A stop at any step ends the script there, the install and the build
# included (bash would otherwise go on with the next step once the handler
# returned, or once a step that outlived the signal ended).
trap 'exit 130' INT
trap 'exit 143' TERM

./scripts/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build-release}
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAV_BUILD_TESTS=OFF -DPAV_BUILD_BENCH=OFF
fi
cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target padolvo

APP="$BUILD_DIR/padolvo"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$APP" "$@"
fi

# No display: a virtual one, served over VNC on the loopback interface only.
pids=()
workdir=""
app_pid=""
cleanup() {
  # The application first, so that it ends as on closing its window (its
  # background handlers still have their display); then the display.
  if [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null; then
    for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  fi
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -z "$workdir" ] || rm -rf "$workdir"
}
# Set before the folder is made, so that a stop right after leaves none.
trap cleanup EXIT
workdir=$(mktemp -d)

# Room for the 1024 x 768 window, its title bar and the task list. The
# server takes a free display number itself (PAV_DISPLAY_NUMBER: that one)
# and writes it out once it accepts clients, so two starts at once never
# share a display, nor does one take another's for its own.
Xvfb ${PAV_DISPLAY_NUMBER:+":$PAV_DISPLAY_NUMBER"} -displayfd 3 -screen 0 1100x860x24 -nolisten tcp \
  3>"$workdir/display" >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!
pids+=("$xvfb_pid")
for _ in $(seq 1 200); do
  grep -q '[0-9]' "$workdir/display" && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
grep -q '[0-9]' "$workdir/display" || { echo "Xvfb did not start:" >&2; cat "$workdir/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$workdir/display")"

jwm -f scripts/jwmrc >"$workdir/jwm.log" 2>&1 &
pids+=($!)

# The port PAV_VNC_PORT (default 5900), or the next free one; announced only
# once the server listens there.
if ! vnc=$(scripts/start-vnc.sh "$DISPLAY" "$workdir"); then
  echo "PadOlvo was not started: its virtual display could not be served over VNC." >&2
  exit 1
fi
read -r vnc_pid vnc_port vnc_password <<<"$vnc"
pids+=("$vnc_pid")

cat <<TEXT
PadOlvo runs on the virtual display $DISPLAY, served by VNC on 127.0.0.1:$vnc_port only.
From your own machine:
  ssh -L $vnc_port:127.0.0.1:$vnc_port $(whoami)@$(hostname)
then open a VNC viewer on localhost:$vnc_port with the password: $vnc_password
The title bar's buttons minimise the window; the task list at the bottom brings it back.
Stop with Ctrl-C.
TEXT

"$APP" "$@" &
app_pid=$!
pids+=($app_pid)
wait "$app_pid"
