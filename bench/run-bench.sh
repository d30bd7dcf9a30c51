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
# cache after theirs. The server runs on a copy of the cached data directory (it may change its
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
# best_of CMD...: runs the command $repeat times and prints the shortest wall time in seconds.
best_of() {
  local best= t0 t1 t
  for _ in $(seq 1 "$repeat"); do
    t0=$(now); "$@"; t1=$(now)
    t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
    if [ -z "$best" ] || awk -v x="$t" -v y="$best" 'BEGIN { exit !(x < y) }'; then best=$t; fi
  done
  echo "$best"
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
cat_ibd=$(best_of sh -c "cat '$ibd' > /dev/null")
cat_myd=$(best_of sh -c "cat '$myd' > /dev/null")
dd_ibd=$( { t0=$(now); dd if="$ibd" of=/dev/null bs=4M iflag=direct 2>/dev/null; t1=$(now);
            awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }'; } )

echo "== rows --all vs SELECT INTO OUTFILE"
outfile_of() {  # TABLE
  rm -f "$run/out/$1.txt"
  sql -e "SELECT * FROM bench.$1 INTO OUTFILE '$run/out/$1.txt'"
}
srv_innodb=$(best_of outfile_of t_innodb)
srv_myisam=$(best_of outfile_of t_myisam)
rows_of() { "$cli" rows "$data" "bench.$1" --all --format tsv > /dev/null; }
our_innodb=$(best_of rows_of t_innodb)
our_myisam=$(best_of rows_of t_myisam)
server_lines=$(wc -l < "$run/out/t_innodb.txt")
our_lines=$("$cli" rows "$data" bench.t_innodb --all --format tsv | wc -l)
rm -f "$run/out/"*.txt

echo "== dump vs mariadb-dump"
srv_dump=$(best_of sh -c "mariadb-dump --socket='$run/sock' -uroot bench t_innodb > /dev/null")
dump_of() { rm -rf "$run/dump"; mkdir -p "$run/dump"; "$cli" dump "$data" --out "$run/dump/" bench.t_innodb >/dev/null; }
our_dump=$(best_of dump_of)
dump_mbs=$(awk -v m="$ibd_mb" -v t="$our_dump" 'BEGIN { if (t > 0) printf "%.1f", m / t; else print 0 }')
srv_dump_mbs=$(awk -v m="$ibd_mb" -v t="$srv_dump" 'BEGIN { if (t > 0) printf "%.1f", m / t; else print 0 }')
dump_bytes=$(du -sb "$run/dump" | cut -f1)
rm -rf "$run/dump"

echo "== scan of 100 x 100 tables"
our_scan=$(best_of sh -c "'$cli' scan '$scandata' > /dev/null")
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
line "rows --all MyISAM (s)" "$our_myisam" "INTO OUTFILE $srv_myisam" "$(ratio "$our_myisam" "$srv_myisam")" \
  "$(verdict "$(ratio "$our_myisam" "$srv_myisam")" "<=" 0.20) (<= 0.20)"
line "dump t_innodb (s)" "$our_dump" "mariadb-dump $srv_dump" "$(ratio "$our_dump" "$srv_dump")" ""
line "dump MB of .ibd per s" "$dump_mbs" "mariadb-dump $srv_dump_mbs" "$(ratio "$dump_mbs" "$srv_dump_mbs")" \
  "$(verdict "$dump_mbs" ">=" 200) (>= 200)"
line "scan 100x100 (s)" "$our_scan" "-" "-" "$(verdict "$our_scan" "<=" 1.0) (<= 1 s)"
line "peak RSS rows InnoDB (MB)" "$rss_mb" "-" "-" "$(verdict "$rss_mb" "<" 64) (< 64 MB)"
line "peak RSS rows MyISAM (MB)" "$rss_myisam_mb" "-" "-" "$(verdict "$rss_myisam_mb" "<" 64) (< 64 MB)"
while IFS=, read -r name iters real cpu unit rest; do
  case "$name" in \"*Page*) ;; *) continue ;; esac
  name=${name//\"/}
  ms=$(awk -v r="$real" -v u="$unit" 'BEGIN {
    f = (u == "\"ns\"" || u == "ns") ? 1e-6 : (u == "\"us\"" || u == "us") ? 1e-3 : (u == "\"s\"" || u == "s") ? 1e3 : 1;
    printf "%.3f", r * f }')
  line "page: ${name#BM_} (ms)" "$ms" "-" "-" "$(verdict "$ms" "<=" 2) (<= 2 ms)"
done < "$run/pages.csv"
line "cat .ibd ${ibd_mb} MB (s)" "$cat_ibd" "O_DIRECT $dd_ibd" "-" "page cache / disk"
line "cat .MYD ${myd_mb} MB (s)" "$cat_myd" "-" "-" "page cache"
line "rows InnoDB vs cat .ibd" "$our_innodb" "cat $cat_ibd" "$(ratio "$our_innodb" "$cat_ibd")" ""

echo
echo "Corvalt Wexholt benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, best of $repeat"
echo "rows: ours $our_lines lines, server $server_lines lines; dump wrote $dump_bytes bytes; scan printed $scan_lines lines"
printf '%s\n' "${results[@]}"
echo
echo "field decoders:"
grep -E '^BM_' "$run/decoders.txt" || echo "(none)"
