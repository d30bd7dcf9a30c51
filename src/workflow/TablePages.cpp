// Loading a table's first page and the pages after it, by the engine code of its .frm header:
//   9  MyISAM: the .MYI header gives the row format; rows come from the .MYD file, page 1 from
//      byte position 0.
//   12 InnoDB: with the table's own .ibd open, the clustered index root is the dictionary's (page 3
//      when ibdata1 could not be loaded); without an .ibd, the table lives in ibdata1 and is found
//      through the dictionary. Rows come from the leftmost leaf page on.
//   any other engine: no rows, only the columns.
// A file that cannot be opened gives no rows; nothing is reported.
#include "workflow/TablePages.h"

#include <filesystem>
#include <system_error>

#include "decoding/Text.h"

namespace wexholt {

namespace fs = std::filesystem;

namespace {

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

void ReadLeafPage(TableReader& reader, Tablespace ts, uint64_t page, uint64_t offset) {
  reader.readingIbd = ts == Tablespace::kIbd;
  reader.ReadLeafRows(ts, page & 0xFFFFFFFFull, offset & 0xFFFFull);
  reader.readingIbd = false;
}

}  // namespace

std::string ExistingDataFilePath(const std::string& base, const std::string& extension) {
  std::string given = base + "." + extension;
  if (FileExists(given)) return given;
  std::string upper = base + "." + ToUpperAscii(extension);
  if (FileExists(upper)) return upper;
  std::string lower = base + "." + ToLowerAscii(extension);
  if (FileExists(lower)) return lower;

  size_t slash = base.rfind('/');
  std::string folder = slash == std::string::npos ? std::string(".") : base.substr(0, slash + 1);
  std::string stem = slash == std::string::npos ? base : base.substr(slash + 1);
  std::string wanted = ToLowerAscii(extension);
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (!ec) {
    for (; it != fs::directory_iterator(); it.increment(ec)) {
      if (ec) break;
      std::string name = it->path().filename().string();
      if (name.size() == stem.size() + 1 + extension.size() && name.compare(0, stem.size(), stem) == 0 &&
          name[stem.size()] == '.' && ToLowerAscii(name.substr(stem.size() + 1)) == wanted) {
        return JoinPath(folder, name);
      }
    }
  }
  return given;
}

std::string DamagedPagesLine(const TableReader& reader, const std::string& database, const std::string& table) {
  const uint64_t n = reader.damagedPagesSkipped;
  if (n == 0) return std::string();
  const bool myisam = reader.tableDef.engineType == kEngineMyisam;
  std::string what = myisam ? (n == 1 ? " damaged region skipped" : " damaged regions skipped")
                            : (n == 1 ? " damaged page skipped" : " damaged pages skipped");
  return database + "." + table + ": " + std::to_string(n) + what;
}

void LoadTableFirstPage(TableReader& reader, const std::string& folder, const std::string& tableName) {
  reader.ResetTable();
  reader.resumePositions.clear();
  reader.rowPage.clear();
  reader.pageFull = false;
  reader.suppressPositions = false;
  reader.resumeFromPosition = false;
  reader.readingIbd = false;

  const std::string base = JoinPath(folder, tableName);
  std::string database = LastPathComponent(folder);
  const std::string lookupName = database.empty() ? std::string() : database + "/" + tableName;

  reader.ReadTableDefinition(ExistingDataFilePath(base, "frm"));

  switch (reader.tableDef.engineType) {
    case kEngineMyisam: {
      reader.ReadMyisamHeader(ExistingDataFilePath(base, "MYI"));
      if (!reader.OpenMyisamData(ExistingDataFilePath(base, "MYD"))) return;
      reader.pageFull = false;
      reader.resumePositions.push_back({0, 0});
      reader.ReadMyisamPage(0);
      return;
    }
    case kEngineInnodb: {
      if (reader.OpenIbd(ExistingDataFilePath(base, "ibd"))) {
        uint64_t leaf = 0;
        if (!reader.SystemTablespaceOpen()) {
          reader.LoadLayoutFromDefinition();
          leaf = reader.DescendToLeaf(Tablespace::kIbd, 3);
        } else {
          uint64_t id = reader.FindTableId(lookupName);
          if (id != 0) {
            reader.LoadLayoutFromDictionary(id);
            uint32_t root = reader.FindClusteredIndexRoot(id);
            if (root != 0) leaf = reader.DescendToLeaf(Tablespace::kIbd, root);
          }
        }
        if (leaf != 0) {
          reader.resumePositions.push_back({leaf, 0});
          ReadLeafPage(reader, Tablespace::kIbd, leaf, 0);
        }
      } else if (reader.SystemTablespaceOpen()) {
        uint64_t id = reader.FindTableId(lookupName);
        if (id == 0) return;
        reader.LoadLayoutFromDictionary(id);
        uint32_t root = reader.FindClusteredIndexRoot(id);
        if (root == 0) return;
        uint64_t leaf = reader.DescendToLeaf(Tablespace::kSystem, root);
        if (leaf == 0) return;
        reader.resumePositions.push_back({leaf, 0});
        ReadLeafPage(reader, Tablespace::kSystem, leaf, 0);
      }
      return;
    }
    default:
      return;
  }
}

void ReadPageAt(TableReader& reader, const ResumePosition& start) {
  reader.ClearRowPage();
  switch (reader.tableDef.engineType) {
    case kEngineMyisam:
      if (reader.myisamDataFile.IsOpen()) {
        reader.pageFull = false;
        reader.ReadMyisamPage(start.offset);
      }
      return;
    case kEngineInnodb:
      if (reader.ibdFile.IsOpen()) {
        ReadLeafPage(reader, Tablespace::kIbd, start.page, start.offset);
      } else if (reader.SystemTablespaceOpen()) {
        ReadLeafPage(reader, Tablespace::kSystem, start.page, start.offset);
      }
      return;
    default:
      return;
  }
}

bool LoadFollowingPage(TableReader& reader) {
  reader.ClearRowPage();
  if (reader.resumePositions.size() <= 1) return false;
  ResumePosition top = reader.resumePositions.back();
  if (IsEndMarker(top)) return false;
  reader.suppressPositions = false;
  reader.resumeFromPosition = true;
  const size_t before = reader.resumePositions.size();
  ReadPageAt(reader, top);
  if (reader.resumePositions.size() > before && reader.resumePositions.back() == top) {
    // A next start equal to this page's start would read the same page for ever.
    reader.resumePositions.pop_back();
    reader.pageFull = false;
  }
  if (reader.rowPage.size() < reader.rowsPerPage || !reader.pageFull) {
    reader.resumePositions.push_back({kEndMarkerPage, top.offset});
  }
  return !reader.rowPage.empty();
}

}  // namespace wexholt
