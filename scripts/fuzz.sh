#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UBSan, in a
# build folder of their own) and runs each for SECONDS (default 600) on its
# corpus, then prints what each did: executions, coverage (edges and
# features), corpus size, crashes and inputs slower than 10 s. Exit status 1
# when any target crashed, leaked, ran out of memory or timed out (the input
# is kept in BUILD/crashes/TARGET/).
#
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (exit status 77: no clang)
#   TARGET is bmp, png, wav, model_file, autosave, options or writers (default:
#   all).
# Environment:
#   VEXTORN_FUZZ_BUILD  the build folder (default build/fuzz)
#
# The corpus of each target grows in BUILD/corpus/TARGET/; each run starts
# from it, from the seeds (tests/fuzz/make_seeds.py) and from every input
# that once made the target fail (tests/fuzz/regressions/TARGET/), so a fault
# found once stays found.
set -uo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

seconds="${1:-600}"
shift || true
case "$seconds" in
  '' | *[!0-9]*) echo "fuzz: SECONDS must be a whole number, not '$seconds'" >&2; exit 2 ;;
esac
all=(bmp png wav model_file autosave options writers)
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=("${all[@]}")

build="${VEXTORN_FUZZ_BUILD:-build/fuzz}"
mkdir -p "$build"
build=$(realpath "$build")

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is missing (bash scripts/install-deps.sh test installs it)" >&2
  exit 77
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXTORN_FUZZ=ON \
    -DVEXTORN_TESTS=OFF -DVEXTORN_TOOLS=OFF -DVEXTORN_BENCH=OFF >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; echo "fuzz: cannot configure $build" >&2; exit 1; }
fi
nice cmake --build "$build" -j2 --target fuzz_targets >"$build/build.log" 2>&1 ||
  { tail -40 "$build/build.log" >&2; echo "fuzz: the build failed (see $build/build.log)" >&2; exit 1; }

python3 tests/fuzz/make_seeds.py "$build/seeds" data || { echo "fuzz: cannot write the seeds" >&2; exit 1; }

# The longest input each target is given: a cube record is 73,740 bytes.
max_len()
{
  case "$1" in
    model_file | autosave) echo 160000 ;;
    bmp | png | wav) echo 16384 ;;
    writers) echo 4096 ;;
    *) echo 512 ;;
  esac
}

failed=0
printf '%-11s %12s %8s %8s %8s %8s %5s\n' target executions edges features corpus crashes slow
for target in "${targets[@]}"; do
  program="$build/tests/fuzz/fuzz_$target"
  if [ ! -x "$program" ]; then
    echo "fuzz: no target $target" >&2
    failed=1
    continue
  fi
  corpus="$build/corpus/$target"
  crashes="$build/crashes/$target"
  mkdir -p "$corpus" "$crashes"
  inputs=("$corpus" "$build/seeds/$target")
  [ -d "tests/fuzz/regressions/$target" ] && inputs+=("tests/fuzz/regressions/$target")
  options=(-max_total_time="$seconds" -max_len="$(max_len "$target")" -timeout=20 -rss_limit_mb=2560
           -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$crashes/")
  [ -f "tests/fuzz/dict/$target.dict" ] && options+=(-dict="tests/fuzz/dict/$target.dict")
  log="$build/fuzz_$target.log"
  # Crashes, leaks, running out of memory and timeouts fail; a slow input
  # (slow-unit-*) is kept and counted apart.
  failures()
  {
    find "$crashes" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'oom-*' -o -name 'timeout-*' \) | wc -l
  }
  before=$(failures)
  slow_before=$(find "$crashes" -type f -name 'slow-unit-*' | wc -l)
  ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1" UBSAN_OPTIONS="print_stacktrace=1" \
    nice "$program" "${options[@]}" "${inputs[@]}" >"$log" 2>&1
  status=$?
  after=$(failures)
  slow=$(($(find "$crashes" -type f -name 'slow-unit-*' | wc -l) - slow_before))
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  read -r edges features < <(grep -ao 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 | awk '{ print $2, $4 }')
  found=$((after - before))
  if [ "$status" -ne 0 ] && [ "$found" -eq 0 ]; then
    found=1
  fi
  printf '%-11s %12s %8s %8s %8s %8s %5s\n' "$target" "${executions:-?}" "${edges:-?}" "${features:-?}" \
    "$(find "$corpus" -type f | wc -l)" "$found" "$slow"
  if [ "$found" -ne 0 ]; then
    failed=1
    echo "fuzz: $target failed (status $status); its log is $log, the input in $crashes/" >&2
    grep -a -m 5 -E 'ERROR|runtime error|SUMMARY|deadly signal|fuzz check failed' "$log" >&2
  fi
done
exit "$failed"
