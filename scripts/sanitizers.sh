#!/usr/bin/env bash
# Builds the whole project with its tests under AddressSanitizer and
# UndefinedBehaviorSanitizer in a second build folder, and runs every test
# there. Any memory error, leak or undefined behaviour fails the run.
#   scripts/sanitizers.sh [ctest arguments...]
# Environment: SANITIZE_BUILD_DIR (default build-asan), JOBS (default: the
# number of cores).
set -euo pipefail
cd "$(dirname "$0")/.."

OUT=${SANITIZE_BUILD_DIR:-build-asan}
JOBS=${JOBS:-$(nproc)}

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

if [ ! -f "$OUT/build.ninja" ]; then
  # -O1 keeps the sanitized tests quick to build and still fast to run;
  # UBSan findings end the program like ASan's do.
  cmake -S . -B "$OUT" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DPAV_BUILD_BENCH=OFF \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DCMAKE_C_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all" \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
fi
cmake --build "$OUT" --parallel "$JOBS"

# The crash tests start children that die by fault signals on purpose: the
# project's own handler must get them (handle_*=0, and no sanitizer stack
# of its own, so the handler's alternate stacks are the ones in use). Wild
# accesses elsewhere still end the test by their signal.
# Allocation stacks are taken by the full unwinder: the fast one stops at
# libraries built without frame pointers (FFmpeg), before the Qt plugin frame
# the suppressions name.
export ASAN_OPTIONS="detect_leaks=1:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:handle_abort=0:use_sigaltstack=0:allow_user_segv_handler=1:detect_stack_use_after_return=0:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-qt-plugins.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
# Left out here (each runs in ./test.sh):
# - CrashChild.UncaughtExceptionReportsNameReasonAndBothBacktraces: the
#   sanitizer's own __cxa_throw interceptor is the first frame of the thrown
#   exception's stack, where the test wants the program's frame.
# - CrashChild.RecordStepGetsTheFilledDataAndAHangingOneIsCutShort: the record
#   step runs on a stack of its own (makecontext), which AddressSanitizer does
#   not know; the watchdog's signal handler there is reported as a wild write.
# - CrashChild.AThreadWhoseWalkFaultsStillAnswers and the bad_frame crash
#   scenario: the walk of a smashed stack faults on purpose inside the
#   unwinder and jumps back out of that nested fault; under the sanitizer's
#   runtime the nested fault ends the writer instead.
# - CrashEndToEnd.ACrashInsideTheAllocatorEndsAtOnceAndIsStoredByTheNextLaunch:
#   it needs the C library's allocator to find the double free with its lock
#   held; the sanitizer's allocator reports it first and exits.
# - Envelope.StrategyMapOfMillionsOfKeysFailsBeforeItIsBuilt: it bounds the
#   peak memory of a decode, which the sanitizer's redzones and quarantine
#   inflate.
# - CrashEndToEnd.AFactsFilePastAnyWrittenSizeIsSetAsideUnread and
#   CrashEndToEnd.LargeRecordsAreReadInBatchesWithinALaunchsMemoryAndNoneIsLost:
#   their launches run under an address-space limit of 1 GiB, which the
#   sanitizer's shadow memory alone exceeds.
# - DecodeBombStart.ThreeJpegBombsInTheLibraryShowTheirPlaceholderAndTheStartStaysUnderAGibibyte:
#   its launch caps its own address space at 3 GiB (so that a decode past
#   the bound fails rather than taking the machine's memory), which the
#   sanitizer's shadow memory alone exceeds; and it bounds the launch's
#   peak memory, which the redzones and quarantine inflate.
# - PlantedPreferencesTest.ALinkToAnEndlessDeviceIsNotReadAndTheLaunchGoesOn
#   and OwnFilesTest.CachedThumbnailsAndTheSavedAccountAreNotReadThroughALinkToADevice:
#   the launch runs under an address-space limit of 3 GB (ulimit -v), the
#   reads under one of half a gigabyte; the shadow memory does not fit.
excluded='^(CrashChild\.(UncaughtExceptionReportsNameReasonAndBothBacktraces|RecordStepGetsTheFilledDataAndAHangingOneIsCutShort|AThreadWhoseWalkFaultsStillAnswers)|Signals/CrashScenario\.DiesByItsSignalAndLeavesReportAndFacts/bad_frame|CrashEndToEnd\.(ACrashInsideTheAllocatorEndsAtOnceAndIsStoredByTheNextLaunch|AFactsFilePastAnyWrittenSizeIsSetAsideUnread|LargeRecordsAreReadInBatchesWithinALaunchsMemoryAndNoneIsLost)|Envelope\.StrategyMapOfMillionsOfKeysFailsBeforeItIsBuilt|DecodeBombStart\.ThreeJpegBombsInTheLibraryShowTheirPlaceholderAndTheStartStaysUnderAGibibyte|PlantedPreferencesTest\.ALinkToAnEndlessDeviceIsNotReadAndTheLaunchGoesOn|OwnFilesTest\.CachedThumbnailsAndTheSavedAccountAreNotReadThroughALinkToADevice)( .*)?$'
cd "$OUT"
ctest --output-on-failure --parallel "$JOBS" --timeout 900 -E "$excluded" "$@"
