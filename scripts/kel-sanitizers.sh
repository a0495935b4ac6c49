#!/usr/bin/env bash
# Builds the Kel codec and its tests alone under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."

OUT=${SANITIZE_BUILD_DIR:-build-sanitize}
mkdir -p "$OUT"
sources=(src/analytics/kel/*.cpp
         src/crashhandler/{Attachment,ContactInfo,ExceptionUpload,MobileDetail,RunInfo}.cpp
         tests/kel/*.cpp tests/support/KelTestUtil.cpp)
flags=(-std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=all
       -Wall -Wextra -Isrc -Itests)
pids=()
objects=()
for src in "${sources[@]}"; do
  obj="$OUT/$(echo "$src" | tr '/' '_').o"
  objects+=("$obj")
  c++ "${flags[@]}" -c "$src" -o "$obj" &
  pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid"; done
c++ "${flags[@]}" "${objects[@]}" -o "$OUT/test_kel_sanitized" -lgtest -lgtest_main -pthread
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 "$OUT/test_kel_sanitized"
