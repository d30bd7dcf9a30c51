#include "workflow/ParallelRows.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "workflow/TablePages.h"

namespace wexholt {

namespace {

enum class Division { kNone, kInnodb, kMyisamFixed, kMyisamDynamic };

// One run of the divided walk: where its reader starts and where the next run is expected to start.
struct Run {
  ResumePosition start;
  uint64_t stopPage = kNullPage;
  uint64_t stopPosition = UINT64_MAX;
};

// What walking a run gave.
struct RunResult {
  std::string text;
  bool reachedStop = false;  // the walk ran up to its stop (false: the table ended inside the run)
  uint64_t endPosition = 0;  // dynamic .MYD: the first record start not read
  uint64_t damaged = 0;      // pages or regions skipped as damaged
  // InnoDB: the walk ended at its stop or at the end of the leaf chain (false: it broke off, at a
  // next-page number past the end of the file or the like).
  bool cleanEnd = true;
  bool writeFailed = false;  // the text could not be written (flushing walks only)
  bool metDamage = false;    // InnoDB: the walk met damage, counted before or not
};

// Text of a walk that writes as it goes is handed on in pieces of about this size.
constexpr size_t kFlushBytes = 1 << 20;

// Pages looked at from each run boundary on for a leaf page of the clustered index.
constexpr uint64_t kLeafSearchPages = 8;
// Bytes searched from each .MYD run boundary on for the start of a block, and the blocks in a row
// that must follow each other there for the position to count as one.
constexpr uint64_t kBlockSearchBytes = 65536;
constexpr int kBlocksInARow = 8;

// Run boundaries of the clustered index of the open .ibd: about every pagesPerRun pages, the first
// leaf page of the index at or after it. The boundaries are guesses that need not lie on the leaf
// chain nor in its order: a run ends where the walk meets the next run's start, and a run that
// never meets it reads to the end of the table (see WriteAllRowsDivided).
std::vector<Run> InnodbRuns(TableReader& reader, uint64_t pagesPerRun) {
  std::vector<Run> runs;
  if (reader.resumePositions.empty()) return runs;
  const uint64_t first = reader.resumePositions.front().page;
  if (!reader.ReadPageHeaders(Tablespace::kIbd, first)) return runs;
  const uint64_t indexId = reader.lastPageHeader.indexId;
  const uint64_t pageCount = reader.ibdPageCount;
  runs.push_back(Run{{first, 0}});
  for (uint64_t boundary = pagesPerRun; boundary < pageCount; boundary += pagesPerRun) {
    const uint64_t end = std::min(pageCount, boundary + std::min(pagesPerRun, kLeafSearchPages));
    for (uint64_t p = boundary; p < end; ++p) {
      if (p == first || !reader.ReadPageHeaders(Tablespace::kIbd, p)) continue;
      const PageHeader& header = reader.lastPageHeader;
      if (!IsIndexPageType(header.pageType) || header.level != 0 || header.indexId != indexId) continue;
      runs.back().stopPage = p;
      runs.push_back(Run{{p, 0}});
      break;
    }
  }
  return runs;
}

// True when kBlocksInARow block headers that the .MYD scan could pass follow each other from pos
// (or reach the end of the file exactly).
bool BlocksFollowFrom(TableReader& reader, uint64_t pos, uint64_t length) {
  BlockInfo info;
  for (int k = 0; k < kBlocksInARow && pos < length; ++k) {
    info = BlockInfo{};
    reader.ReadBlockHeader(pos, info);
    if (info.header[0] > 13 || info.blockLength == 0) return false;
    const uint64_t next = info.dataPosition + info.blockLength;
    if (next <= pos || next > length) return false;
    pos = next;
  }
  return true;
}

// Run boundaries of a dynamic-row .MYD: about every bytesPerRun bytes, the first 4-byte aligned
// position from which a row of block headers follows. Like the leaf boundaries they are guesses:
// each run is taken only when the run before it ended exactly at its start.
std::vector<Run> DynamicRuns(TableReader& reader, uint64_t bytesPerRun) {
  std::vector<Run> runs{Run{{0, 0}}};
  const uint64_t length = reader.myisamDataFile.Length();
  for (uint64_t boundary = bytesPerRun; boundary < length; boundary += bytesPerRun) {
    const uint64_t end = std::min(length, boundary + std::min(bytesPerRun, kBlockSearchBytes));
    for (uint64_t pos = boundary & ~uint64_t{3}; pos < end; pos += 4) {
      if (pos <= runs.back().start.offset || !BlocksFollowFrom(reader, pos, length)) continue;
      runs.back().stopPosition = pos;
      runs.push_back(Run{{0, pos}});
      break;
    }
  }
  return runs;
}

// Runs of a fixed-row .MYD: whole row slots, so every boundary is one the scan passes.
std::vector<Run> FixedRuns(const TableReader& reader, uint64_t bytesPerRun) {
  std::vector<Run> runs;
  const uint64_t step = reader.MyisamFixedRowStep();
  const uint64_t length = reader.myisamDataFile.Length();
  if (step == 0) return runs;
  const uint64_t perRun = std::max<uint64_t>(bytesPerRun / step, 1) * step;
  for (uint64_t pos = 0; pos < length; pos += perRun) {
    Run run{{0, pos}};
    if (pos + perRun < length) run.stopPosition = pos + perRun;
    runs.push_back(run);
  }
  return runs;
}

// Walks one run with reader, each row's text appended to result.text as it is decoded. With flush,
// the text is written out whenever a page leaves more than kFlushBytes of it (and at the end), so
// that a walk to the end of a large table holds no more than that.
void WalkRun(TableReader& reader, const Run& run, Division division, const RowTextFormatter& format,
             RunResult& result, const TableTextWriter* flush = nullptr) {
  reader.stopAtLeafPage = run.stopPage;
  reader.stopAtPosition = run.stopPosition;
  reader.resumePositions.clear();
  reader.resumeFromPosition = false;
  reader.suppressPositions = false;
  reader.stoppedAtLeafPage = false;
  reader.myisamScanEnd = run.start.offset;
  const uint64_t damagedBefore = reader.damagedPagesSkipped;
  const uint64_t metBefore = reader.leafDamageMet;
  std::string& text = result.text;
  reader.rowSink = [&format, &text](const Cell* const* cells, size_t count) { format(cells, count, text); };
  ResumePosition at = run.start;
  for (;;) {
    reader.pageFull = false;
    const size_t positions = reader.resumePositions.size();
    ReadPageAt(reader, at);
    if (flush && text.size() >= kFlushBytes) {
      if (!(*flush)(text)) {
        result.writeFailed = true;
        break;
      }
      text.clear();
    }
    if (!reader.pageFull || reader.resumePositions.size() <= positions) break;
    const ResumePosition next = reader.resumePositions.back();
    if (next == at) break;
    at = next;
    reader.resumeFromPosition = true;
  }
  if (flush && !result.writeFailed && !text.empty()) {
    if (!(*flush)(text)) result.writeFailed = true;
    text.clear();
  }
  reader.rowSink = nullptr;
  reader.resumeFromPosition = false;
  reader.stopAtLeafPage = kNullPage;
  reader.stopAtPosition = UINT64_MAX;
  reader.ClearRowPage();
  result.damaged = reader.damagedPagesSkipped - damagedBefore;
  result.metDamage = reader.leafDamageMet != metBefore;
  result.endPosition = reader.myisamScanEnd;
  switch (division) {
    case Division::kInnodb:
      result.reachedStop = run.stopPage != kNullPage && reader.stoppedAtLeafPage;
      result.cleanEnd = reader.stoppedAtLeafPage || reader.lastPageHeader.nextPage == kNullPage;
      break;
    case Division::kMyisamFixed:
      result.reachedStop = run.stopPosition != UINT64_MAX;
      break;
    case Division::kMyisamDynamic:
      result.reachedStop = run.stopPosition != UINT64_MAX && reader.myisamScanEnd >= run.stopPosition;
      break;
    case Division::kNone:
      break;
  }
}

// A reader of its own for one worker, with the table loaded as the first reader has it.
struct WorkerReader {
  DecoderSettings settings;
  TableReader reader;
  explicit WorkerReader(const DecoderSettings& from) : settings(from), reader(&settings) {}
};

bool LoadLikeFirst(WorkerReader& worker, const TableReader& loaded, const std::string& folder,
                   const std::string& tableName) {
  TableReader& reader = worker.reader;
  if (loaded.SystemTablespaceOpen() && !reader.LoadSystemTablespace(loaded.systemFile.Path())) return false;
  LoadTableFirstPage(reader, folder, tableName);
  return reader.tableDef.columns.size() == loaded.tableDef.columns.size() &&
         reader.tableDef.engineType == loaded.tableDef.engineType &&
         reader.innoLayout.size() == loaded.innoLayout.size() && reader.rowFormat == loaded.rowFormat &&
         reader.ibdFile.IsOpen() == loaded.ibdFile.IsOpen() &&
         reader.myisamDataFile.IsOpen() == loaded.myisamDataFile.IsOpen() &&
         reader.resumePositions == loaded.resumePositions;
}

}  // namespace

unsigned DefaultReaderCount() {
  if (const char* chosen = std::getenv("WEXHOLT_READERS"); chosen && *chosen) {
    long n = std::strtol(chosen, nullptr, 10);
    if (n >= 1 && n <= 16) return static_cast<unsigned>(n);
  }
  unsigned n = std::thread::hardware_concurrency();
  return std::clamp(n, 1u, 4u);
}

ParallelRowsResult WriteAllRowsDivided(TableReader& loaded, const std::string& folder, const std::string& tableName,
                                       const RowTextFormatterFactory& makeFormatter, const TableTextWriter& write,
                                       const ParallelRowOptions& options) {
  if (options.readers < 2) return ParallelRowsResult::kNotDivided;
  Division division = Division::kNone;
  if (loaded.tableDef.engineType == kEngineInnodb && loaded.ibdFile.IsOpen()) {
    division = Division::kInnodb;
  } else if (loaded.tableDef.engineType == kEngineMyisam && loaded.myisamDataFile.IsOpen()) {
    if (loaded.rowFormat == kRowFormatFixed) division = Division::kMyisamFixed;
    if (loaded.rowFormat == kRowFormatDynamic) division = Division::kMyisamDynamic;
  }
  std::vector<Run> runs;
  const uint64_t bytesPerRun = std::max<uint64_t>(options.bytesPerRun, 4);
  switch (division) {
    case Division::kInnodb: runs = InnodbRuns(loaded, std::max<uint32_t>(options.leafPagesPerRun, 1)); break;
    case Division::kMyisamFixed: runs = FixedRuns(loaded, bytesPerRun); break;
    case Division::kMyisamDynamic: runs = DynamicRuns(loaded, bytesPerRun); break;
    case Division::kNone: break;
  }
  if (runs.size() < 2) return ParallelRowsResult::kNotDivided;

  const unsigned readerCount = static_cast<unsigned>(std::min<size_t>(options.readers, runs.size()));
  std::vector<std::unique_ptr<WorkerReader>> workers;
  for (unsigned i = 0; i < readerCount; ++i) workers.push_back(std::make_unique<WorkerReader>(loaded.Settings()));
  const size_t ahead = options.runsAhead != 0 ? options.runsAhead : 2 * readerCount + 2;

  std::mutex mutex;
  std::condition_variable changed;
  size_t nextRun = 0;      // the next run a worker takes
  size_t writtenRuns = 0;  // runs the writer is done with
  bool stopping = false;
  bool setupFailed = false;
  std::vector<RunResult> results(runs.size());
  std::vector<bool> finished(runs.size(), false);
  std::vector<std::string> spareTexts;

  auto work = [&](unsigned k) {
    WorkerReader& worker = *workers[k];
    const bool loadedOk = LoadLikeFirst(worker, loaded, folder, tableName);
    RowTextFormatter format = makeFormatter();
    for (;;) {
      size_t i;
      RunResult result;
      {
        std::unique_lock lock(mutex);
        if (!loadedOk) {
          setupFailed = true;
          stopping = true;
          changed.notify_all();
          return;
        }
        changed.wait(lock, [&] { return stopping || nextRun >= runs.size() || nextRun < writtenRuns + ahead; });
        if (stopping || nextRun >= runs.size()) return;
        i = nextRun++;
        if (!spareTexts.empty()) {
          result.text = std::move(spareTexts.back());
          spareTexts.pop_back();
        }
      }
      result.text.clear();
      WalkRun(worker.reader, runs[i], division, format, result);
      std::lock_guard lock(mutex);
      results[i] = std::move(result);
      finished[i] = true;
      changed.notify_all();
    }
  };

  std::vector<std::thread> threads;
  threads.reserve(readerCount);
  for (unsigned k = 0; k < readerCount; ++k) threads.emplace_back(work, k);
  auto stopWorkers = [&] {
    {
      std::lock_guard lock(mutex);
      stopping = true;
      changed.notify_all();
    }
    for (std::thread& thread : threads) {
      if (thread.joinable()) thread.join();
    }
  };

  // The writer takes the runs in order. A run counts only when it starts where the walk before it
  // ended; one that does not (a .MYD boundary that lay inside a record) is walked again here from
  // the right start. After a run in which the table ended, later runs are dropped; after an InnoDB
  // run that met damage, the first reader walks on from that run's start to the end of the table, as
  // the undivided walk does.
  RowTextFormatter format = makeFormatter();
  RunResult own;
  ResumePosition expected = runs[0].start;
  uint64_t damagedTotal = 0;
  bool anyWritten = false;
  bool setupFailedSeen = false;
  for (size_t i = 0; i < runs.size(); ++i) {
    RunResult result;
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return finished[i] || setupFailed; });
      if (!finished[i]) {
        setupFailedSeen = true;
        break;
      }
      result = std::move(results[i]);
    }
    Run run = runs[i];
    if (!(run.start == expected)) {
      run.start = expected;
      own = RunResult{};
      WalkRun(loaded, run, division, format, own);
      std::swap(result, own);
    }
    if (division == Division::kInnodb && (result.damaged > 0 || result.metDamage || !result.cleanEnd)) {
      // Damage met: the first reader walks on from this run's start to the end of the table, as the
      // undivided walk does (its salvage depends on the whole chain), writing as it goes.
      run.stopPage = kNullPage;
      own = RunResult{};
      WalkRun(loaded, run, division, format, own, &write);
      damagedTotal += own.damaged;
      break;
    }
    damagedTotal += result.damaged;
    if (!result.text.empty()) {
      anyWritten = true;
      if (!write(result.text)) break;
    }
    if (!result.reachedStop) break;
    expected = division == Division::kInnodb ? ResumePosition{run.stopPage, 0}
               : division == Division::kMyisamDynamic ? ResumePosition{0, result.endPosition}
                                                       : ResumePosition{0, run.stopPosition};
    std::lock_guard lock(mutex);
    writtenRuns = i + 1;
    spareTexts.push_back(std::move(result.text));
    changed.notify_all();
    if (i + 1 == runs.size()) break;
  }
  stopWorkers();
  if (setupFailedSeen) {
    // A worker could not open the table as the first reader did (a file changed or vanished while
    // being read): with nothing written the caller reads the table alone, else the first reader
    // walks on from where the written runs ended.
    if (!anyWritten) return ParallelRowsResult::kNotDivided;
    Run rest{expected};
    own = RunResult{};
    WalkRun(loaded, rest, division, format, own, &write);
    damagedTotal += own.damaged;
  }
  // A reader counts each damaged leaf page once, however often it meets it: the first reader's own
  // count covers damage it met while loading the first page too.
  loaded.damagedPagesSkipped = std::max(damagedTotal, loaded.damagedPagesSkipped);
  return ParallelRowsResult::kDone;
}

}  // namespace wexholt
