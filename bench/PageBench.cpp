// Page reads: the time to fill the RowPage with one page of 1000 rows, as table selection (first
// page), Next and Previous do it, for an InnoDB and a MyISAM table.
//
// The tables come from WEXHOLT_BENCH_DATA (a data directory ending with '/'), else from the cached
// benchmark data (bench/make-bench-data.sh: bench.t_innodb and bench.t_myisam, 2,000,000 rows
// each), else from the fixture data directory. WEXHOLT_BENCH_INNODB and WEXHOLT_BENCH_MYISAM
// (DB.TABLE) name other tables. A read that does not give a full page of 1000 rows is reported as an
// error of the benchmark, so that a broken reader cannot pass for a fast one.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "definitions/Collations.h"
#include "definitions/DecoderSettings.h"
#include "definitions/TableReader.h"
#include "workflow/TablePages.h"

namespace {

using namespace wexholt;

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : fallback;
}

std::string DataDirectory() {
  std::string chosen = EnvOr("WEXHOLT_BENCH_DATA", "");
  if (chosen.empty()) {
    std::string cache = EnvOr("WEXHOLT_BENCH_CACHE", EnvOr("HOME", "/tmp") + "/.cache/wexholt-bench");
    if (std::filesystem::exists(cache + "/READY")) chosen = cache + "/bench-datadir/";
  }
  if (chosen.empty()) chosen = std::string(WEXHOLT_TEST_DATA) + "/fixture-datadir/";
  if (chosen.back() != '/') chosen += '/';
  return chosen;
}

bool UsingBenchData(const std::string& data) {
  return std::filesystem::exists(data + "bench/t_innodb.frm");
}

// DB.TABLE of the table benchmarked for an engine.
std::string TableName(bool innodb) {
  std::string data = DataDirectory();
  if (UsingBenchData(data)) {
    return EnvOr(innodb ? "WEXHOLT_BENCH_INNODB" : "WEXHOLT_BENCH_MYISAM",
                 innodb ? "bench.t_innodb" : "bench.t_myisam");
  }
  return EnvOr(innodb ? "WEXHOLT_BENCH_INNODB" : "WEXHOLT_BENCH_MYISAM",
               innodb ? "paging.inno_2500" : "paging.myi_2500");
}

// A reader with the system tablespace loaded, as after a scan.
struct BenchReader {
  DecoderSettings settings;
  TableReader reader{&settings};
  std::string folder;
  std::string table;

  explicit BenchReader(bool innodb) {
    settings.collations = &BuiltInCollations();
    std::string data = DataDirectory();
    std::string name = TableName(innodb);
    size_t dot = name.find('.');
    folder = data + name.substr(0, dot);
    table = name.substr(dot + 1);
    reader.LoadSystemTablespace(data + "ibdata1");
  }

  void First() { LoadTableFirstPage(reader, folder, table); }

  // Re-reads the page that starts at start, as Previous does: no start position is recorded.
  void ReadPageAt(const ResumePosition& start) {
    reader.rowPage.clear();
    reader.suppressPositions = true;
    reader.resumeFromPosition = true;
    reader.pageFull = false;
    if (reader.tableDef.engineType == kEngineMyisam) {
      reader.ReadMyisamPage(start.offset);
    } else if (reader.ibdFile.IsOpen()) {
      reader.readingIbd = true;
      reader.ReadLeafRows(Tablespace::kIbd, start.page & 0xFFFFFFFFu, start.offset & 0xFFFFu);
      reader.readingIbd = false;
    } else {
      reader.ReadLeafRows(Tablespace::kSystem, start.page & 0xFFFFFFFFu, start.offset & 0xFFFFu);
    }
  }
};

bool CheckFullPage(benchmark::State& state, const BenchReader& bench, const char* what) {
  if (bench.reader.rowPage.size() == kRowsPerPage) return true;
  state.SkipWithError((std::string(what) + " of " + bench.folder + "/" + bench.table + " gave " +
                       std::to_string(bench.reader.rowPage.size()) + " rows, not 1000")
                          .c_str());
  return false;
}

void BM_FirstPage(benchmark::State& state, bool innodb) {
  BenchReader bench(innodb);
  for (auto _ : state) {
    bench.First();
    benchmark::DoNotOptimize(bench.reader.rowPage.data());
    if (!CheckFullPage(state, bench, "first page")) return;
  }
  state.SetLabel(bench.folder + "/" + bench.table);
}

void BM_NextPage(benchmark::State& state, bool innodb) {
  BenchReader bench(innodb);
  bench.First();
  if (!CheckFullPage(state, bench, "first page")) return;
  for (auto _ : state) {
    bool more = LoadFollowingPage(bench.reader);
    if (!more || bench.reader.rowPage.size() < kRowsPerPage) {
      // End of the table: start over from page 1, untimed.
      state.PauseTiming();
      bench.First();
      more = LoadFollowingPage(bench.reader);
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(bench.reader.rowPage.data());
    if (!CheckFullPage(state, bench, "Next")) return;
  }
  state.SetLabel(bench.folder + "/" + bench.table);
}

void BM_PreviousPage(benchmark::State& state, bool innodb) {
  BenchReader bench(innodb);
  bench.First();
  // On page 3, Previous re-reads page 2 from its saved start.
  if (!LoadFollowingPage(bench.reader) || !LoadFollowingPage(bench.reader) ||
      bench.reader.resumePositions.size() < 3) {
    state.SkipWithError("the table has fewer than three pages");
    return;
  }
  ResumePosition pageTwo = bench.reader.resumePositions[1];
  for (auto _ : state) {
    bench.ReadPageAt(pageTwo);
    benchmark::DoNotOptimize(bench.reader.rowPage.data());
    if (!CheckFullPage(state, bench, "Previous")) return;
  }
  state.SetLabel(bench.folder + "/" + bench.table);
}

BENCHMARK_CAPTURE(BM_FirstPage, innodb, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstPage, myisam, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NextPage, innodb, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NextPage, myisam, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PreviousPage, innodb, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PreviousPage, myisam, false)->Unit(benchmark::kMillisecond);

}  // namespace
