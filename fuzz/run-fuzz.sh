#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, address and undefined-behaviour sanitizers), makes their
# seed corpora from the fixture data directory, runs every harness and prints, per harness, the
# executions, the time and the findings (crash, leak, timeout and out-of-memory inputs).
#
# Usage: fuzz/run-fuzz.sh SECONDS [HARNESS...]     each harness runs for SECONDS
#        fuzz/run-fuzz.sh -runs=N [HARNESS...]     each harness runs N inputs
# Harnesses: frm myisam innodb_dictionary leaf_walk view trigger (default: all that are built).
# Environment: WEXHOLT_FUZZ_BUILD (default build-fuzz), WEXHOLT_FUZZ_PARALLEL (harnesses run at
# once, default 1), WEXHOLT_FUZZ_DATADIR (seed data directory, default the fixtures),
# WEXHOLT_FUZZ_NO_BUILD=1 (run the harnesses already built), WEXHOLT_FUZZ_RUNS=N (in time mode,
# also stop a harness once its rounds have run N inputs).
#
# The corpus of each harness grows in BUILD/corpus/HARNESS across runs; findings are written to
# BUILD/findings/HARNESS/ and each one is shown with the command that replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="${WEXHOLT_FUZZ_BUILD:-$root/build-fuzz}"
datadir="${WEXHOLT_FUZZ_DATADIR:-$root/tests/data/fixture-datadir}"
parallel="${WEXHOLT_FUZZ_PARALLEL:-1}"
runs_cap="${WEXHOLT_FUZZ_RUNS:-}"

if [ $# -lt 1 ]; then
  sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi
limit=$1; shift
seconds=
case "$limit" in
  -runs=*) budget=("$limit") ;;
  *[!0-9]*|'') echo "SECONDS must be a number, or -runs=N" >&2; exit 2 ;;
  *) seconds=$limit; budget=("-max_total_time=$limit") ;;
esac

if [ "${WEXHOLT_FUZZ_NO_BUILD:-0}" != 1 ]; then
  CXX=${CXX:-clang++} cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  nice -n 19 cmake --build "$build" -j2 >/dev/null
fi

all=()
for h in frm myisam innodb_dictionary leaf_walk view trigger; do
  [ -x "$build/fuzz_$h" ] && all+=("$h")
done
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=("${all[@]}")

# ---- Seeds ----
le32() { local n=$1; printf "\\x$(printf %02x $((n & 255)))\\x$(printf %02x $(((n >> 8) & 255)))\\x$(printf %02x $(((n >> 16) & 255)))\\x$(printf %02x $(((n >> 24) & 255)))"; }
byte() { printf "\\x$(printf %02x $(($1 & 255)))"; }
starts_with() { [ "$(head -c ${#2} "$1" 2>/dev/null | tr -d '\000')" = "$2" ]; }
is_table_frm() { [ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' \n')" = fe01 ]; }

# Tables of the data directory with a .frm next to a file of extension $1, in the order the
# harnesses number them (database, then table, byte order).
tables_with() {
  local ext=$1
  find "$datadir" -mindepth 2 -maxdepth 2 -name "*$ext" | LC_ALL=C sort | while read -r f; do
    local frm="${f%"$ext"}.frm"
    [ -f "$frm" ] && is_table_frm "$frm" && echo "${f%"$ext"}"
  done | head -n 64
}

make_seeds() {
  local h=$1 dir="$build/seeds/$1"
  rm -rf "$dir"; mkdir -p "$dir"
  local i=0
  case "$h" in
    frm)
      find "$datadir" "$root/examples/sample-datadir" -name '*.frm' 2>/dev/null | while read -r f; do
        is_table_frm "$f" && cp "$f" "$dir/$(echo "$f" | md5sum | cut -c1-16)"
      done ;;
    view)
      find "$datadir" "$root/examples/sample-datadir" -name '*.frm' 2>/dev/null | while read -r f; do
        starts_with "$f" "TYPE=VIEW" && cp "$f" "$dir/$(echo "$f" | md5sum | cut -c1-16)"
      done ;;
    trigger)
      find "$datadir" "$root/examples/sample-datadir" \( -name '*.TRG' -o -name '*.TRN' \) 2>/dev/null |
        while read -r f; do cp "$f" "$dir/$(echo "$f" | md5sum | cut -c1-16)"; done ;;
    myisam)
      tables_with .MYI | while read -r base; do
        local myi="$base.MYI" myd="$base.MYD" n
        n=$(stat -c %s "$myi")
        { byte $i; le32 "$n"; cat "$myi"; [ -f "$myd" ] && head -c 8192 "$myd"; } > "$dir/seed-$i"
        i=$((i + 1))
      done ;;
    leaf_walk)
      tables_with .ibd | while read -r base; do
        if [ "$(stat -c %s "$base.ibd")" -le 131072 ]; then
          { byte $i; cat "$base.ibd"; } > "$dir/seed-$i"
        fi
        i=$((i + 1))
      done ;;
    innodb_dictionary)
      # ibdata1 from page 8 on: the single-leaf SYS_TABLES, SYS_COLUMNS and SYS_INDEXES trees of a
      # small data directory (pages 8 to 12); the harness puts them back at page 8.
      if [ -f "$datadir/ibdata1" ]; then
        dd if="$datadir/ibdata1" of="$dir/ibdata1-from-page-8" bs=16384 skip=8 \
          count="${WEXHOLT_FUZZ_IBDATA_PAGES:-5}" status=none
      fi ;;
  esac
  ls "$dir" | wc -l
}

max_len_of() {
  case "$1" in
    frm) echo 16384 ;;
    view|trigger) echo 4096 ;;
    myisam) echo 32768 ;;
    leaf_walk) echo 131073 ;;
    innodb_dictionary) echo $((16384 * ${WEXHOLT_FUZZ_IBDATA_PAGES:-5})) ;;
  esac
}

# run_one HARNESS: in time mode, a harness that stops at a finding is started again on its grown
# corpus until its time is used up (at most 20 rounds; a round that stops within 5 seconds ends
# it, since the same input would stop every round).
run_one() {
  local h=$1 corpus="$build/corpus/$1" findings="$build/findings/$1/" log="$build/logs/$1.log"
  local round_log="$build/logs/$1.round.log" start now left total=0 rounds=0 t0 status
  mkdir -p "$corpus" "$findings" "$build/logs"
  : > "$log"
  start=$(date +%s)
  while [ $rounds -lt 20 ]; do
    rounds=$((rounds + 1))
    if [ -n "$seconds" ]; then
      now=$(date +%s); left=$((seconds - (now - start)))
      [ $left -gt 0 ] || break
      budget=("-max_total_time=$left")
      if [ -n "$runs_cap" ]; then
        [ $total -lt "$runs_cap" ] || break
        budget+=("-runs=$((runs_cap - total))")
      fi
    fi
    t0=$(date +%s)
    status=0
    nice -n 19 "$build/fuzz_$h" "${budget[@]}" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
      -max_len="$(max_len_of "$h")" -artifact_prefix="$findings" "$corpus" "$build/seeds/$h" \
      > "$round_log" 2>&1 || status=$?
    cat "$round_log" >> "$log"
    total=$((total + $(awk '/stat::number_of_executed_units/ { n = $2 } END { print n + 0 }' "$round_log")))
    [ $status -eq 0 ] && break
    [ -n "$seconds" ] || break
    [ $(( $(date +%s) - t0 )) -ge 5 ] || break
  done
  echo $(( $(date +%s) - start )) > "$build/logs/$h.seconds"
  echo "$total" > "$build/logs/$h.executions"
  rm -f "$round_log"
}

echo "harness             seeds"
for h in "${harnesses[@]}"; do
  printf '%-18s %6s\n' "$h" "$(make_seeds "$h")"
done

running=0
for h in "${harnesses[@]}"; do
  run_one "$h" &
  running=$((running + 1))
  if [ "$running" -ge "$parallel" ]; then wait -n || true; running=$((running - 1)); fi
done
wait || true

echo
printf '%-18s %14s %8s %9s %8s  %s\n' harness executions seconds exec/s corpus findings
for h in "${harnesses[@]}"; do
  log="$build/logs/$h.log"
  execs=$(cat "$build/logs/$h.executions")
  secs=$(cat "$build/logs/$h.seconds")
  rate=$(awk -v e="${execs:-0}" -v s="$secs" 'BEGIN { if (s > 0) printf "%.0f", e / s; else print 0 }')
  corpus=$(ls "$build/corpus/$h" | wc -l)
  found=$(ls "$build/findings/$h" 2>/dev/null | grep -E '^(crash|leak|timeout|oom|slow-unit)-' || true)
  printf '%-18s %14s %8s %9s %8s  %s\n' "$h" "${execs:-?}" "$secs" "$rate" "$corpus" \
    "$( [ -n "$found" ] && echo "$found" | wc -l || echo 0)"
  if [ -n "$found" ]; then
    echo "$found" | while read -r f; do
      echo "    $build/fuzz_$h $build/findings/$h/$f"
    done
    grep -m 3 -E 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error' "$log" | sed 's/^/    /' || true
  fi
done
