#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in ./build-fuzz and fuzzes each for
# SECONDS seconds (default 60), starting from its seed corpus. New inputs go
# to build-fuzz/corpus/<target> (the seeds in the tree are left as they are);
# a crash or a broken invariant is saved as build-fuzz/crash-<target>-*.
#   scripts/fuzz.sh [SECONDS] [target...]   targets: frameassembly answers prf flashimage
#                                                  datalog paste
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(frameassembly answers prf flashimage datalog paste)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DVANTOR_FUZZ=ON -DVANTOR_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"${JOBS:-2}" --target "${targets[@]/#/fuzz_}"

status=0
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t"
  echo "== fuzzing $t for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "build-fuzz/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="build-fuzz/crash-$t-" \
      "build-fuzz/corpus/$t" "tests/fuzz/corpus/$t" 2>"build-fuzz/fuzz-$t.log"; then
    tail -n 40 "build-fuzz/fuzz-$t.log"
    status=1
  fi
  grep -E '^stat::number_of_executed_units|^Done' "build-fuzz/fuzz-$t.log" || true
done
exit $status
