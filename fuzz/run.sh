#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, ASan and UBSan into build-fuzz/
# and runs each for FUZZ_SECONDS (default 60) on a copy of its corpus.
# Exits non-zero when a target finds a crash, a leak or undefined behaviour;
# the input that caused it is left in build-fuzz/findings/.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TAVRIN_FUZZ_BUILD:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-60}"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/build.ninja" ]; then
  # Warnings stay visible but do not stop this build: the project's own
  # build with gcc keeps them at zero.
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ -DTAVRIN_FUZZ=ON -DTAVRIN_WERROR=OFF \
    -DCMAKE_CXX_FLAGS="-O1 -g $sanitizers -fsanitize=fuzzer-no-link" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" "${launcher[@]}" >&2
fi
cmake --build "$build" --target FuzzJobList FuzzNumbers -- -j"$(nproc)" >&2

mkdir -p "$build/findings"
status=0
for target in FuzzJobList FuzzNumbers; do
  corpus="$root/fuzz/corpus/$(echo "${target#Fuzz}" | tr '[:upper:]' '[:lower:]')"
  work="$(mktemp -d)"
  cp -r "$corpus/." "$work/"
  echo "fuzzing $target for $seconds s" >&2
  if ! (cd "$build/findings" && UBSAN_OPTIONS=print_stacktrace=1 "$build/$target" \
        -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 "$work" 2> "$build/$target.log"); then
    echo "$target found a fault: see $build/$target.log and $build/findings/" >&2
    tail -n 40 "$build/$target.log" >&2
    status=1
  else
    grep -E "^stat::number_of_executed_units" "$build/$target.log" >&2 || true
  fi
  rm -rf "$work"
done
exit $status
