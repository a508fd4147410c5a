#!/usr/bin/env bash
# Builds every libFuzzer target with clang in a folder of its own and runs
# each for SECONDS seconds, starting from its seed corpus. Findings committed
# under regressions/<target>/ are replayed first. Exits non-zero on any
# finding (crash, sanitizer report, leak, time-out, out-of-memory) or when a
# target does not build.
#
#   tests/fuzz/run.sh SECONDS [TARGET...]
#
# The build is the "fuzz" preset's (CMakePresets.json); FUZZ_BUILD_DIR puts
# it in another folder (default <repo>/build-fuzz). New inputs that the
# fuzzer finds go to <build>/corpus/<target>/, never into the committed seeds;
# crash inputs go to <build>/artifacts/<target>/. Each target's header names
# the environment switches it knows (FUZZ_SKIP_UNREADABLE_NAMES for the INI
# target, while that finding is open).
set -euo pipefail

if [ $# -lt 1 ] || ! [[ "$1" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}

mkdir -p "$build"
(cd "$root" && cmake --preset fuzz -B "$build") >"$build/configure.log" 2>&1 || {
  cat "$build/configure.log" >&2
  echo "fuzz: configure failed" >&2
  exit 1
}

if [ $# -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < <(grep -v '^$' "$build/fuzz_targets.txt")
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

status=0
summary=()
for target in "${targets[@]}"; do
  if ! cmake --build "$build" --target "$target" -j2 >"$build/$target.build.log" 2>&1; then
    cat "$build/$target.build.log" >&2
    summary+=("$target: BUILD FAILED")
    status=1
    continue
  fi
  binary=$(find "$build/tests/fuzz" -maxdepth 1 -type f -name "$target" -perm -u+x)
  work="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  log="$build/$target.log"
  mkdir -p "$work" "$artifacts"

  regressions=()
  if [ -d "$here/regressions/$target" ]; then
    mapfile -t regressions < <(find "$here/regressions/$target" -type f | sort)
  fi
  if [ ${#regressions[@]} -gt 0 ]; then
    if ! "$binary" "${regressions[@]}" >"$build/$target.replay.log" 2>&1; then
      tail -n 30 "$build/$target.replay.log" >&2
      summary+=("$target: FINDING in a committed regression input (see $build/$target.replay.log)")
      status=1
      continue
    fi
  fi

  seeds=()
  [ -d "$here/corpus/$target" ] && seeds=("$here/corpus/$target")
  echo "fuzz: $target for ${seconds}s" >&2
  if "$binary" "$work" "${seeds[@]}" -max_total_time="$seconds" -print_final_stats=1 \
      -timeout=10 -rss_limit_mb=2048 -max_len=1024 -artifact_prefix="$artifacts/" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    summary+=("$target: ${runs:-?} executions in ${seconds}s, no finding")
  else
    tail -n 40 "$log" >&2
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    summary+=("$target: FINDING after ${runs:-?} executions (log $log, input in $artifacts/)")
    status=1
  fi
done

printf '%s\n' "${summary[@]}"
exit $status
