#!/usr/bin/env bash
# Builds the benchmark data with a private MariaDB server (unix socket only, no network) and keeps it
# in a cache folder outside the repository:
#
#   $CACHE/bench-datadir/   database `bench`: t_innodb (InnoDB) and t_myisam (MyISAM, dynamic rows),
#                           2,000,000 identical rows each
#   $CACHE/scan-datadir/    100 databases x 100 small tables (half InnoDB, half MyISAM)
#   $CACHE/READY            written last; its content names the recipe, so a changed recipe rebuilds
#
# CACHE is ${WEXHOLT_BENCH_CACHE:-$HOME/.cache/wexholt-bench}. The rows come from the SEQUENCE
# engine (seq_1_to_2000000) through deterministic expressions, so every build gives the same
# values. Each server is shut down with innodb_fast_shutdown=0 (purge and merge done, every page
# written back) before its data directory is copied.
#
# Usage: bench/make-bench-data.sh [--force]
set -euo pipefail

recipe="wexholt-bench-data 1"
cache="${WEXHOLT_BENCH_CACHE:-$HOME/.cache/wexholt-bench}"
rows="${WEXHOLT_BENCH_ROWS:-2000000}"
force=0
[ "${1:-}" = --force ] && force=1

if [ $force = 0 ] && [ -f "$cache/READY" ] && [ "$(cat "$cache/READY")" = "$recipe rows=$rows" ]; then
  echo "bench data ready in $cache"
  exit 0
fi

for tool in mariadbd mariadb-install-db mariadb mariadb-admin; do
  command -v "$tool" >/dev/null || { [ -x "/usr/sbin/$tool" ] || { echo "missing: $tool" >&2; exit 1; }; }
done
mariadbd=$(command -v mariadbd || echo /usr/sbin/mariadbd)

work=$(mktemp -d /tmp/wexholt-bench-gen.XXXXXX)
server_pid=
cleanup() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    mariadb-admin --socket="$work/sock" -uroot shutdown 2>/dev/null || kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# start_server DATADIR: installs a fresh data directory and starts a server on it, socket only.
start_server() {
  local datadir=$1
  rm -rf "$datadir"
  mariadb-install-db --no-defaults --datadir="$datadir" --auth-root-authentication-method=normal \
    --skip-test-db >/dev/null
  nice -n 19 "$mariadbd" --no-defaults --datadir="$datadir" --socket="$work/sock" --skip-networking \
    --user="$(id -un)" --pid-file="$work/mariadbd.pid" --log-error="$work/error.log" \
    --innodb-buffer-pool-size=1G --innodb-log-file-size=512M --innodb-flush-log-at-trx-commit=0 \
    --innodb-doublewrite=0 --skip-log-bin --default-time-zone=+00:00 --sql-mode='' \
    --key-buffer-size=256M --bulk-insert-buffer-size=256M &
  server_pid=$!
  for _ in $(seq 1 120); do
    mariadb-admin --socket="$work/sock" -uroot ping >/dev/null 2>&1 && return 0
    kill -0 "$server_pid" 2>/dev/null || { cat "$work/error.log" >&2; exit 1; }
    sleep 0.5
  done
  echo "server did not start" >&2; cat "$work/error.log" >&2; exit 1
}

# stop_server: slow shutdown, so every change is in the data files and the redo log is clean.
stop_server() {
  sql -e "SET GLOBAL innodb_fast_shutdown=0"
  mariadb-admin --socket="$work/sock" -uroot shutdown
  wait "$server_pid" || true
  server_pid=
}

sql() { mariadb --socket="$work/sock" -uroot --batch "$@"; }

mkdir -p "$cache"
rm -f "$cache/READY"

# ---- The 2,000,000-row table, once per engine ----
echo "building $rows rows (InnoDB and MyISAM) ..."
start_server "$work/bench"
sql -e "
CREATE DATABASE bench;
USE bench;
CREATE TABLE t_innodb (
  id INT PRIMARY KEY, k INT, name VARCHAR(40), price DECIMAL(10,2), created DATETIME,
  note VARCHAR(100), flag TINYINT
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
CREATE TABLE t_myisam LIKE t_innodb;
ALTER TABLE t_myisam ENGINE=MyISAM ROW_FORMAT=DYNAMIC;
INSERT INTO t_innodb
SELECT seq,
       (seq * 7919) % 1000003,
       CONCAT('name-', seq, '-', LEFT(MD5(seq), 2 + seq % 12)),
       ((seq * 37) % 100000000) / 100 * IF(seq % 11 = 0, -1, 1),
       TIMESTAMP('2000-01-01 00:00:00') + INTERVAL ((seq * 15485863) % 757382400) SECOND,
       IF(seq % 53 = 0, NULL, CONCAT('note ', seq, ' ', REPEAT(CHAR(97 + seq % 26), 5 + seq % 60))),
       IF(seq % 97 = 0, NULL, seq % 128)
FROM seq_1_to_${rows};
INSERT INTO t_myisam SELECT * FROM t_innodb;
FLUSH TABLES;
"
sql -N -e "SELECT engine, table_rows, data_length FROM information_schema.tables WHERE table_schema='bench'"
stop_server
rm -rf "$cache/bench-datadir"
cp -a "$work/bench" "$cache/bench-datadir"
rm -rf "$work/bench"

# ---- 100 databases x 100 small tables ----
echo "building 100 databases x 100 tables ..."
start_server "$work/scan"
gen="$work/scan.sql"
{
  for d in $(seq -w 0 99); do
    echo "CREATE DATABASE db$d; USE db$d;"
    for t in $(seq -w 0 99); do
      if [ $((10#$t % 2)) = 0 ]; then engine=InnoDB; else engine=MyISAM; fi
      echo "CREATE TABLE t$t (id INT PRIMARY KEY, v VARCHAR(20), n DECIMAL(8,2), d DATE) ENGINE=$engine;"
      echo "INSERT INTO t$t VALUES (1,'a$t',1.5,'2020-01-01'),(2,'b$t',2.5,'2021-02-02');"
    done
  done
  echo "FLUSH TABLES;"
} > "$gen"
sql < "$gen"
stop_server
rm -rf "$cache/scan-datadir"
cp -a "$work/scan" "$cache/scan-datadir"

echo "$recipe rows=$rows" > "$cache/READY"
du -sh "$cache/bench-datadir" "$cache/scan-datadir"
ls -l "$cache/bench-datadir/bench"
