#!/usr/bin/env bash
# Runs every fuzz target, two at a time, for the given number of seconds each (60 by
# default), from seeds made by fuzz/make-seeds.sh (with the tools of the
# same sanitizer build) and the corpus kept in build/fuzz/corpus. Fails when
# a target finds a crash, a leak, undefined behaviour or an input that runs
# longer than 10 seconds; what it found is in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset sanitize >/dev/null
targets="package_fuzz alarm_store_fuzz led_model_fuzz manifest_fuzz picture_fuzz swf_fuzz avm1_fuzz"
# shellcheck disable=SC2086 # the list is words
scripts/no-warnings.sh cmake --build --preset sanitize --target $targets clockpack swf_seed_movies avm1_seed_writer \
  write_clock_movies
bin=build/sanitize/bin
DC_CLOCKPACK=$bin/clockpack DC_SWF_SEED_MOVIES=$bin/swf_seed_movies DC_AVM1_SEED_WRITER=$bin/avm1_seed_writer \
  DC_CLOCK_MOVIES=$bin/write_clock_movies fuzz/make-seeds.sh build/fuzz/seeds
mkdir -p build/fuzz/findings
# Two targets at a time, one a core; each writes its log and its outcome.
fuzz_one() {
  local target=$1 corpus=build/fuzz/corpus/$1 log=build/fuzz/$1.log
  mkdir -p "$corpus"
  if $bin/$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build/fuzz/findings/$target-" "$corpus" "build/fuzz/seeds/$target" > "$log" 2>&1; then
    echo ok > "build/fuzz/$target.outcome"
  else
    echo found > "build/fuzz/$target.outcome"
  fi
}
running=0
for target in $targets; do
  echo "fuzz: $target for $seconds s"
  rm -f "build/fuzz/$target.outcome"
  fuzz_one "$target" &
  running=$((running + 1))
  if [ "$running" -ge 2 ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait
status=0
summary=""
for target in $targets; do
  log=build/fuzz/$target.log
  if [ "$(cat "build/fuzz/$target.outcome" 2>/dev/null)" != ok ]; then
    status=1
    echo "fuzz: $target FOUND something; see $log and build/fuzz/findings/"
    tail -40 "$log"
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  last=$(grep -E '#[0-9]+.*cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || echo 'cov: ? ft: ?')
  summary+="  $target: $runs runs, $last"$'\n'
done
echo "fuzz: ${seconds} s a target, two at a time"
printf '%s' "$summary"
exit "$status"
