#!/usr/bin/env bash
# run.sh without a display, around a stand-in application (a script that
# notes its display and waits): two starts at once each get a virtual
# display of their own, even when the X server is slow to come up; a stop
# while the VNC server starts ends run.sh there, announcing nothing,
# starting no application and leaving none of its servers running.
#   run_virtual_display_test.sh SOURCE_DIR   (exit 77: skipped, a tool missing)
set -euo pipefail

source_dir=${1:?usage: run_virtual_display_test.sh SOURCE_DIR}
for tool in Xvfb x11vnc jwm ss cmake ninja; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
runs=()
cleanup() {
  for pid in "${runs[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${runs[@]}"; do
    for _ in $(seq 1 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  done
  # Whatever a failed run left behind, by the pids it noted.
  for f in "$work"/pids/*; do [ -e "$f" ] && kill "$(cat "$f")" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
wait_for() {
  for _ in $(seq 1 300); do "$@" && return 0; sleep 0.1; done
  return 1
}
alive() { kill -0 "$1" 2>/dev/null; }

# The project: run.sh and its scripts, a stand-in for the application.
tree="$work/tree"
mkdir -p "$tree/scripts" "$work/bin" "$work/pids"
cp "$source_dir/run.sh" "$tree/"
cp "$source_dir/scripts/start-vnc.sh" "$source_dir/scripts/jwmrc" "$tree/scripts/"
cat >"$tree/scripts/install-deps.sh" <<DEPS
#!/bin/sh
echo \$\$ >"$work/pids/deps-\$\$"
sleep "\${SLOW_DEPS:-0}"
DEPS
cat >"$tree/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(standin NONE)
option(PAV_BUILD_TESTS "" ON)
option(PAV_BUILD_BENCH "" ON)
configure_file(${CMAKE_SOURCE_DIR}/padolvo.in ${CMAKE_BINARY_DIR}/padolvo COPYONLY)
add_custom_target(padolvo)
CMAKE
cat >"$tree/padolvo.in" <<APP
#!/usr/bin/env bash
echo "\$DISPLAY" >"$work/app-\$1"
trap 'exit 0' TERM
while :; do sleep 0.2; done
APP
chmod +x "$tree/padolvo.in" "$tree"/*.sh "$tree"/scripts/*.sh

# Servers that take their time (a loaded machine), noting their pids.
cat >"$work/bin/Xvfb" <<WRAP
#!/usr/bin/env bash
echo \$\$ >"$work/pids/xvfb-\$\$"
sleep "\${SLOW_XVFB:-0}"
exec $(command -v Xvfb) "\$@"
WRAP
cat >"$work/bin/x11vnc" <<WRAP
#!/usr/bin/env bash
[ "\$1" = -storepasswd ] || { echo \$\$ >"$work/pids/x11vnc-\$\$"; sleep "\${SLOW_VNC:-0}"; }
exec $(command -v x11vnc) "\$@"
WRAP
cat >"$work/bin/jwm" <<WRAP
#!/usr/bin/env bash
echo \$\$ >"$work/pids/jwm-\$\$"
exec $(command -v jwm) "\$@"
WRAP
chmod +x "$work/bin"/*
(cd "$tree" && cmake -S . -B build-release -G Ninja >"$work/cmake.log" 2>&1) || fail "stand-in project: $(cat "$work/cmake.log")"

start_run() {   # NAME [VAR=VALUE...]: run.sh in the background, its output in $work/NAME.out/.err
  local name=$1; shift
  (cd "$tree" && exec env -u DISPLAY -u WAYLAND_DISPLAY PATH="$work/bin:$PATH" PAV_VNC_PORT=5970 "$@" \
     ./run.sh "$name" >"$work/$name.out" 2>"$work/$name.err") &
  runs+=("$!")
}

# Two at once, their X servers slow to listen.
start_run one SLOW_XVFB=2
run_one=${runs[-1]}
start_run two SLOW_XVFB=2
run_two=${runs[-1]}
wait_for test -s "$work/app-one" || fail "the first run started no application: $(cat "$work/one.err")"
wait_for test -s "$work/app-two" || fail "the second run started no application: $(cat "$work/two.err")"
display_one=$(cat "$work/app-one")
display_two=$(cat "$work/app-two")
[ "$display_one" != "$display_two" ] || fail "both runs put their application on the display $display_one"
grep -q "virtual display $display_one," "$work/one.out" || fail "the first run announced: $(cat "$work/one.out")"
grep -q "virtual display $display_two," "$work/two.out" || fail "the second run announced: $(cat "$work/two.out")"
xvfb_pids=$(cat "$work"/pids/xvfb-*)
for pid in $xvfb_pids; do alive "$pid" || fail "an X server of the two runs has ended"; done
kill "$run_one" "$run_two"
for pid in $xvfb_pids; do wait_for bash -c "! kill -0 $pid 2>/dev/null" || fail "a stopped run left its X server"; done
rm -f "$work"/pids/*

# Sends SIGNAL to the run NAME once the server or step WHAT of it has noted
# its pid, then checks that run.sh ended there: not with 0, announcing
# nothing, starting no application (nor the server NEVER, when given),
# leaving none of its servers running.
stop_run_during() {   # NAME PID WHAT SIGNAL [NEVER]
  local name=$1 pid=$2 what=$3 signal=$4 never=${5:-}
  wait_for bash -c "ls '$work'/pids/$what-* >/dev/null 2>&1" || fail "the run $name never got to $what: $(cat "$work/$name.err")"
  kill "-$signal" "$pid"
  wait_for bash -c "! kill -0 $pid 2>/dev/null" || fail "run.sh went on after a stop during $what"
  local status=0
  wait "$pid" || status=$?
  [ "$status" -ne 0 ] || fail "run.sh stopped during $what exited 0"
  ! grep -q "PadOlvo runs" "$work/$name.out" || fail "run.sh stopped during $what announced: $(cat "$work/$name.out")"
  [ ! -e "$work/app-$name" ] || fail "run.sh stopped during $what started the application"
  [ -z "$never" ] || ! ls "$work"/pids/$never-* >/dev/null 2>&1 || fail "run.sh stopped during $what started $never"
  for f in "$work"/pids/*; do
    [ -e "$f" ] || continue
    local left
    left=$(cat "$f")
    wait_for bash -c "! kill -0 $left 2>/dev/null" || fail "run.sh stopped during $what left $(basename "$f") running"
  done
  rm -f "$work"/pids/*
}

# A stop while the VNC server starts.
start_run three SLOW_VNC=3
stop_run_during three "${runs[-1]}" x11vnc TERM

# A stop sent to run.sh alone while it installs what is missing: the step
# ends as it would, then so does run.sh, before any server starts.
start_run four SLOW_DEPS=2
stop_run_during four "${runs[-1]}" deps INT xvfb

echo "passed: two runs on $display_one and $display_two; a stop during the VNC start or the install left nothing"
