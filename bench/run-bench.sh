#!/usr/bin/env bash
# Measures the tool against the server on the same machine, in the same run, and prints one line per
# target: our figure, the reference figure (the server's, or cat's), their ratio and whether the
# target is met.
#
#   rows --all (InnoDB, MyISAM)   vs the server's SELECT * INTO OUTFILE of the same table   <= 0.20 x
#   dump (MB of .ibd per second)  vs mariadb-dump of the same table                         >= 200 MB/s
#   scan of 100 x 100 tables      (absolute)                                                <= 1 s
#   peak RSS of rows --all InnoDB (absolute, /usr/bin/time -v)                              <  64 MB
#   one page of 1000 rows         (Google Benchmark: first page, Next, Previous)            <= 2 ms
#   cat .ibd / .MYD > /dev/null   the page-cache figure, and dd with O_DIRECT as the disk figure
#
# Every timed command runs WEXHOLT_BENCH_REPEAT times (default 3) and the best time counts, for the
# server as for us: the server's buffer pool is warm after its first run, our files are in the page
# cache after theirs. Beside each wall time the CPU time (user + system of the commands, plus the
# server process's own for the server's figures) is shown: on a shared machine it is the steadier
# figure. The server runs on a copy of the cached data directory (it may change its
# files); the tool reads the cached directory itself.
#
# Usage: bench/run-bench.sh            (builds build-bench, makes the data when missing)
# Environment: WEXHOLT_BENCH_CACHE, WEXHOLT_BENCH_BUILD (build folder), WEXHOLT_BENCH_REPEAT.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
cache="${WEXHOLT_BENCH_CACHE:-$HOME/.cache/wexholt-bench}"
build="${WEXHOLT_BENCH_BUILD:-$root/build-bench}"
repeat="${WEXHOLT_BENCH_REPEAT:-3}"
export WEXHOLT_BENCH_CACHE="$cache"

echo "== building (Release) in $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DWEXHOLT_GUI=OFF -DWEXHOLT_BENCH=ON \
  -DWEXHOLT_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target wexholt wexholt_bench >/dev/null
cli="$build/wexholt"
benchbin="$build/bench/wexholt_bench"

echo "== benchmark data in $cache"
"$root/bench/make-bench-data.sh"
data="$cache/bench-datadir/"
scandata="$cache/scan-datadir/"

run=$(mktemp -d /tmp/wexholt-bench-run.XXXXXX)
server_pid=
cleanup() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    mariadb-admin --socket="$run/sock" -uroot shutdown 2>/dev/null || kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$run"
}
trap cleanup EXIT

echo "== starting the server on a copy"
cp -a "$cache/bench-datadir" "$run/data"
mkdir -p "$run/out"
mariadbd=$(command -v mariadbd || echo /usr/sbin/mariadbd)
"$mariadbd" --no-defaults --datadir="$run/data" --socket="$run/sock" --skip-networking \
  --user="$(id -un)" --pid-file="$run/mariadbd.pid" --log-error="$run/error.log" \
  --innodb-buffer-pool-size=1G --key-buffer-size=256M --secure-file-priv="$run/out" \
  --default-time-zone=+00:00 &
server_pid=$!
for _ in $(seq 1 120); do
  mariadb-admin --socket="$run/sock" -uroot ping >/dev/null 2>&1 && break
  kill -0 "$server_pid" 2>/dev/null || { cat "$run/error.log" >&2; exit 1; }
  sleep 0.5
done
sql() { mariadb --socket="$run/sock" -uroot --batch -N "$@"; }

now() { date +%s.%N; }
clock_ticks=$(getconf CLK_TCK)
# CPU seconds used so far by the waited-for children of this shell (user + system), from the
# file written by `times > "$run/times"` in this shell itself (a subshell has its own children).
children_cpu() {
  awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%.4f", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$run/times"
}
# CPU seconds used so far by the server process.
server_cpu() { awk -v hz="$clock_ticks" '{ printf "%.4f", ($14 + $15) / hz }' "/proc/$server_pid/stat"; }
# best_of CMD...: runs the command $repeat times; sets best_wall to the shortest wall time and
# best_cpu to the smallest CPU time (the command's processes and the server's together). The
# machine is shared, so the CPU figure is the steadier one.
best_wall=; best_cpu=
best_of() {
  local t0 t1 c0 c1 s0 s1 wall cpu
  best_wall=; best_cpu=
  for _ in $(seq 1 "$repeat"); do
    times > "$run/times"; c0=$(children_cpu); s0=$(server_cpu); t0=$(now)
    "$@"
    t1=$(now); times > "$run/times"; c1=$(children_cpu); s1=$(server_cpu)
    wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
    cpu=$(awk -v a="$c0" -v b="$c1" -v x="$s0" -v y="$s1" 'BEGIN { printf "%.4f", (b - a) + (y - x) }')
    if [ -z "$best_wall" ] || awk -v x="$wall" -v y="$best_wall" 'BEGIN { exit !(x < y) }'; then best_wall=$wall; fi
    if [ -z "$best_cpu" ] || awk -v x="$cpu" -v y="$best_cpu" 'BEGIN { exit !(x < y) }'; then best_cpu=$cpu; fi
  done
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "-" }'; }
# verdict VALUE OP LIMIT
verdict() { awk -v v="$1" -v l="$3" -v op="$2" 'BEGIN {
  ok = (op == "<=") ? v <= l : (op == "<") ? v < l : v >= l; print ok ? "met" : "MISSED" }'; }

results=()
line() { results+=("$(printf '%-34s %14s %22s %9s  %s' "$@")"); }

size_of() { stat -c %s "$1"; }
ibd="$cache/bench-datadir/bench/t_innodb.ibd"
myd="$cache/bench-datadir/bench/t_myisam.MYD"
ibd_mb=$(awk -v s="$(size_of "$ibd")" 'BEGIN { printf "%.1f", s / 1048576 }')
myd_mb=$(awk -v s="$(size_of "$myd")" 'BEGIN { printf "%.1f", s / 1048576 }')

echo "== disk and page cache"
best_of sh -c "cat '$ibd' > /dev/null"; cat_ibd=$best_wall
best_of sh -c "cat '$myd' > /dev/null"; cat_myd=$best_wall
dd_ibd=$( { t0=$(now); dd if="$ibd" of=/dev/null bs=4M iflag=direct 2>/dev/null; t1=$(now);
            awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }'; } )

echo "== rows --all vs SELECT INTO OUTFILE"
outfile_of() {  # TABLE
  rm -f "$run/out/$1.txt"
  sql -e "SELECT * FROM bench.$1 INTO OUTFILE '$run/out/$1.txt'"
}
best_of outfile_of t_innodb; srv_innodb=$best_wall; srv_innodb_cpu=$best_cpu
best_of outfile_of t_myisam; srv_myisam=$best_wall; srv_myisam_cpu=$best_cpu
rows_of() { "$cli" rows "$data" "bench.$1" --all --format tsv > /dev/null; }
best_of rows_of t_innodb; our_innodb=$best_wall; our_innodb_cpu=$best_cpu
best_of rows_of t_myisam; our_myisam=$best_wall; our_myisam_cpu=$best_cpu
server_lines=$(wc -l < "$run/out/t_innodb.txt")
our_lines=$("$cli" rows "$data" bench.t_innodb --all --format tsv | wc -l)
rm -f "$run/out/"*.txt

echo "== dump vs mariadb-dump"
best_of sh -c "mariadb-dump --socket='$run/sock' -uroot bench t_innodb > /dev/null"
srv_dump=$best_wall; srv_dump_cpu=$best_cpu
dump_of() { rm -rf "$run/dump"; mkdir -p "$run/dump"; "$cli" dump "$data" --out "$run/dump/" bench.t_innodb >/dev/null; }
best_of dump_of; our_dump=$best_wall; our_dump_cpu=$best_cpu
dump_mbs=$(awk -v m="$ibd_mb" -v t="$our_dump" 'BEGIN { if (t > 0) printf "%.1f", m / t; else print 0 }')
dump_cpu_mbs=$(awk -v m="$ibd_mb" -v t="$our_dump_cpu" 'BEGIN { if (t > 0) printf "%.1f", m / t; else print 0 }')
srv_dump_mbs=$(awk -v m="$ibd_mb" -v t="$srv_dump" 'BEGIN { if (t > 0) printf "%.1f", m / t; else print 0 }')
dump_bytes=$(du -sb "$run/dump" | cut -f1)
rm -rf "$run/dump"

echo "== scan of 100 x 100 tables"
best_of sh -c "'$cli' scan '$scandata' > /dev/null"; our_scan=$best_wall; our_scan_cpu=$best_cpu
scan_lines=$("$cli" scan "$scandata" | wc -l)

echo "== peak RSS"
rss_kb=$( { /usr/bin/time -v "$cli" rows "$data" bench.t_innodb --all --format tsv > /dev/null; } 2>&1 |
          awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }')
rss_mb=$(awk -v k="$rss_kb" 'BEGIN { printf "%.1f", k / 1024 }')
rss_myisam_kb=$( { /usr/bin/time -v "$cli" rows "$data" bench.t_myisam --all --format tsv > /dev/null; } 2>&1 |
          awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }')
rss_myisam_mb=$(awk -v k="$rss_myisam_kb" 'BEGIN { printf "%.1f", k / 1024 }')

echo "== pages of 1000 rows (Google Benchmark)"
WEXHOLT_BENCH_DATA="$data" "$benchbin" --benchmark_filter='Page' --benchmark_format=csv \
  --benchmark_min_time=0.5 2>/dev/null > "$run/pages.csv" || true
WEXHOLT_BENCH_DATA="$data" "$benchbin" --benchmark_filter='DecodeFieldText' --benchmark_min_time=0.2 \
  2>/dev/null > "$run/decoders.txt" || true

line "target" "ours" "reference" "ratio" "verdict"
line "rows --all InnoDB (s)" "$our_innodb" "INTO OUTFILE $srv_innodb" "$(ratio "$our_innodb" "$srv_innodb")" \
  "$(verdict "$(ratio "$our_innodb" "$srv_innodb")" "<=" 0.20) (<= 0.20)"
line "  cpu (s)" "$our_innodb_cpu" "server $srv_innodb_cpu" "$(ratio "$our_innodb_cpu" "$srv_innodb_cpu")" \
  "$(verdict "$(ratio "$our_innodb_cpu" "$srv_innodb_cpu")" "<=" 0.20) (<= 0.20)"
line "rows --all MyISAM (s)" "$our_myisam" "INTO OUTFILE $srv_myisam" "$(ratio "$our_myisam" "$srv_myisam")" \
  "$(verdict "$(ratio "$our_myisam" "$srv_myisam")" "<=" 0.20) (<= 0.20)"
line "  cpu (s)" "$our_myisam_cpu" "server $srv_myisam_cpu" "$(ratio "$our_myisam_cpu" "$srv_myisam_cpu")" \
  "$(verdict "$(ratio "$our_myisam_cpu" "$srv_myisam_cpu")" "<=" 0.20) (<= 0.20)"
line "dump t_innodb (s)" "$our_dump" "mariadb-dump $srv_dump" "$(ratio "$our_dump" "$srv_dump")" ""
line "  cpu (s)" "$our_dump_cpu" "dump+server $srv_dump_cpu" "$(ratio "$our_dump_cpu" "$srv_dump_cpu")" ""
line "dump MB of .ibd per s" "$dump_mbs" "mariadb-dump $srv_dump_mbs" "$(ratio "$dump_mbs" "$srv_dump_mbs")" \
  "$(verdict "$dump_mbs" ">=" 200) (>= 200)"
line "  per cpu s" "$dump_cpu_mbs" "-" "-" "$(verdict "$dump_cpu_mbs" ">=" 200) (>= 200)"
line "scan 100x100 (s)" "$our_scan" "cpu $our_scan_cpu" "-" "$(verdict "$our_scan" "<=" 1.0) (<= 1 s)"
line "peak RSS rows InnoDB (MB)" "$rss_mb" "-" "-" "$(verdict "$rss_mb" "<" 64) (< 64 MB)"
line "peak RSS rows MyISAM (MB)" "$rss_myisam_mb" "-" "-" "$(verdict "$rss_myisam_mb" "<" 64) (< 64 MB)"
while IFS=, read -r name iters real cpu unit rest; do
  case "$name" in \"*Page*) ;; *) continue ;; esac
  name=${name//\"/}
  ms=$(awk -v r="$real" -v u="$unit" 'BEGIN {
    f = (u == "\"ns\"" || u == "ns") ? 1e-6 : (u == "\"us\"" || u == "us") ? 1e-3 : (u == "\"s\"" || u == "s") ? 1e3 : 1;
    printf "%.3f", r * f }')
  cpums=$(awk -v r="$cpu" -v u="$unit" 'BEGIN {
    f = (u == "\"ns\"" || u == "ns") ? 1e-6 : (u == "\"us\"" || u == "us") ? 1e-3 : (u == "\"s\"" || u == "s") ? 1e3 : 1;
    printf "%.3f", r * f }')
  line "page: ${name#BM_} (ms)" "$ms" "cpu $cpums" "-" "$(verdict "$ms" "<=" 2) (<= 2 ms)"
done < "$run/pages.csv"
line "cat .ibd ${ibd_mb} MB (s)" "$cat_ibd" "O_DIRECT $dd_ibd" "-" "page cache / disk"
line "cat .MYD ${myd_mb} MB (s)" "$cat_myd" "-" "-" "page cache"
line "rows InnoDB vs cat .ibd" "$our_innodb" "cat $cat_ibd" "$(ratio "$our_innodb" "$cat_ibd")" ""

echo
echo "Corvalt Wexholt benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, best of $repeat, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "rows: ours $our_lines lines, server $server_lines lines; dump wrote $dump_bytes bytes; scan printed $scan_lines lines"
printf '%s\n' "${results[@]}"
echo
echo "field decoders:"
grep -E '^BM_' "$run/decoders.txt" || echo "(none)"
