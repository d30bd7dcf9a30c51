// TableReader: the reader context that every table reader works on.
//
// It owns the open data files of the table shown (definition, .MYI, .MYD, .ibd) and the system
// tablespace ibdata1, the TableDef, the MyISAM header data, the InnoDB dictionary lists and column
// layout, the RowPage and the page state. The readers are its operations; they are implemented in
// the folder of the structure they read:
//   definitions/  ReadTableDefinition (FrmReader.cpp), the InnoDB column layout (InnoLayout.cpp)
//   myisam/       ReadMyisamHeader, DecodeFixedRow, ReadBlockHeader, DecodeDynamicRecord, ReadMyisamPage
//   innodb/       LoadSystemTablespace, ReadPageHeaders, the dictionary, DescendToLeaf, ReadLeafRows,
//                 DecodeInnoValue, CopyExternalValue
// Readers show no messages: they report failure by what they leave behind (an empty column list, no
// rows, a table id or page number of 0).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "decoding/ByteView.h"
#include "decoding/DataFile.h"
#include "definitions/DecoderSettings.h"
#include "definitions/TableModel.h"

namespace wexholt {

// ---- MyISAM (.MYI header, dynamic blocks) ----

// The base information block of a .MYI file (100 bytes, big-endian).
struct MyisamBaseInfo {
  uint64_t keyFileStart = 0;
  uint64_t maxDataFileLength = 0;
  uint64_t maxKeyFileLength = 0;
  uint64_t records = 0;
  uint64_t reloc = 0;
  uint32_t meanRowLength = 0;
  uint32_t baseRecordLength = 0;
  uint32_t packedRecordLength = 0;
  uint32_t minPackLength = 0;
  uint32_t maxPackLength = 0;
  uint32_t minBlockLength = 0;
  uint32_t fieldCount = 0;
  uint32_t packFieldCount = 0;
  uint8_t rowRefLength = 0;
  uint8_t keyRefLength = 0;
  uint8_t keyCount = 0;
  uint8_t autoKey = 0;
  uint16_t packBitBytes = 0;
  uint16_t blobCount = 0;
  uint16_t maxKeyBlockLength = 0;
  uint16_t maxKeyLength = 0;
  uint16_t extraAllocBytes = 0;
  uint32_t extraAlloc = 0;
  uint32_t raidChunkSize = 0;
};

// One column-information entry of the .MYI file.
struct MyisamField {
  int16_t storageType = 0;   // 0 normal, 1 end spaces removed, 2 leading spaces removed,
                             // 3 zero omitted, 4 BLOB, 8 VARCHAR, 9 like 0
  uint16_t storedLength = 0;
  uint8_t nullBit = 0;
  uint16_t nullPos = 0;
};

// Row formats of a .MYD file, from the .MYI options.
constexpr int32_t kRowFormatFixed = 0;
constexpr int32_t kRowFormatDynamic = 1;
constexpr int32_t kRowFormatCompressed = 2;

// Flags returned by ReadBlockHeader.
constexpr uint32_t kBlockFirst = 1;
constexpr uint32_t kBlockLast = 2;
constexpr uint32_t kBlockDeleted = 4;
constexpr uint32_t kBlockOutOfSequence = 16;

// The working record of one dynamic block header.
struct BlockInfo {
  std::array<uint8_t, 20> header{};
  uint32_t recordSize = 0;
  uint32_t dataLength = 0;
  uint32_t blockLength = 0;
  uint64_t dataPosition = 0;
  uint64_t nextPosition = 0;
  uint64_t previousPosition = 0;
  uint32_t secondRead = 0;
};

// Where one column lies in a MyISAM row image, worked out from the TableDef and myisamFields.
struct MyisamColumnPlace {
  int32_t entry = -1;      // myisamFields entry that holds the column's bytes, -1 when none
  uint32_t offset = 0;     // first byte in a fixed-length row
  uint32_t width = 0;      // bytes in a fixed-length row
  uint16_t nullPos = 0;    // byte of the NULL flag, counted from the row's first byte
  uint8_t nullMask = 0;    // the NULL flag bit; 0 = the column has none
  uint8_t bitOffset = 0;   // BIT(n), n not a multiple of 8: the n % 8 high bits lie among the NULL
  uint8_t bitCount = 0;    // flags, bitCount bits from bit bitOffset of byte bitPos on (0 = none)
  uint16_t bitPos = 0;
};

// ---- InnoDB (pages, dictionary) ----

constexpr uint64_t kPageSize = 16384;
constexpr uint16_t kIndexPageType = 0x45BF;  // 17855
constexpr uint32_t kNullPage = 0xFFFFFFFF;
// Root page of a table altered with instant ADD COLUMN: an index page whose "direction" field
// (bytes 50..51) holds, shifted left by 3, the field count of the records written before the change.
constexpr uint16_t kInstantRootPageType = 18;
inline bool IsIndexPageType(uint16_t type) { return type == kIndexPageType || type == kInstantRootPageType; }

// The FIL header (bytes 0..37) and the index page header (38..93) of the page read last.
struct PageHeader {
  std::array<uint8_t, 4> checksum{};
  uint32_t pageNumber = 0;
  uint32_t previousPage = 0;
  uint32_t nextPage = 0;
  std::array<uint8_t, 8> lsn{};
  uint16_t pageType = 0;
  uint64_t flushLsn = 0;
  uint32_t spaceId = 0;
  // index page header
  uint16_t directorySlots = 0;
  uint16_t heapTop = 0;
  uint16_t heapRecords = 0;  // heap record count, top bit (COMPACT flag) included as stored
  uint16_t freeList = 0;
  uint16_t garbageBytes = 0;
  uint16_t lastInsert = 0;
  uint16_t direction = 0;
  uint16_t directionInserts = 0;
  uint16_t userRecords = 0;
  uint64_t maxTrxId = 0;
  uint16_t level = 0;
  uint64_t indexId = 0;
};

// A roll pointer split into its parts.
struct RollPointer {
  uint8_t insertFlag = 0;
  uint8_t rollbackSegment = 0;
  uint32_t undoPage = 0;
  uint16_t undoOffset = 0;
};

struct SysTablesRow {
  std::string fullName;  // database/table
  uint64_t trxId = 0;
  RollPointer rollPtr;
  uint64_t tableId = 0;
  uint32_t columnCount = 0;
  uint32_t tableType = 0;
  uint64_t mixId = 0;
  uint32_t mixLength = 0;
  uint64_t clusterName = 0;
  uint32_t spaceId = 0;
};

struct SysColumnsRow {
  uint64_t tableId = 0;
  uint32_t position = 0;
  uint64_t trxId = 0;
  RollPointer rollPtr;
  std::string columnName;
  uint32_t mainType = 0;
  uint32_t preciseType = 0;
  uint32_t charLengths = 0;
  uint32_t mbMinLen = 0;
  uint32_t mbMaxLen = 0;
  uint32_t maxLength = 0;
  uint32_t precision = 0;
};

struct SysIndexesRow {
  uint64_t tableId = 0;
  uint64_t indexId = 0;
  uint64_t trxId = 0;
  RollPointer rollPtr;
  std::string indexName;
  uint32_t fieldCount = 0;
  uint32_t indexType = 0;
  uint32_t spaceId = 0;
  uint32_t rootPage = 0;
};

// SYS_COLUMNS post-processing: the collation default (binary for binary types, latin1 otherwise)
// when the precise type names none, then mbMinLen, mbMaxLen from collations (the built-in table
// when null) and charLengths = mbMinLen + 5 * mbMaxLen.
void ApplySysColumnDefaults(SysColumnsRow& row, const CollationTable* collations);

// The InnoDB storage of one .frm column in a COMPACT-family record: main type, precise type
// (NOT NULL, UNSIGNED, binary bits and the collation in bits 16..30), maximum and fixed size.
InnoColumn InnoColumnFromDefinition(const ColumnDef& column, const CollationTable* collations);

// Which tablespace an InnoDB operation reads.
enum class Tablespace { kIbd, kSystem };

// Dictionary table kinds of ReadDictionaryTable.
constexpr int kSysTablesKind = 0;
constexpr int kSysColumnsKind = 1;
constexpr int kSysIndexesKind = 2;

class TableReader {
 public:
  explicit TableReader(DecoderSettings* settings);

  DecoderSettings& Settings() { return *settings_; }
  const DecoderSettings& Settings() const { return *settings_; }

  // Empties the table-level lists (layout, RowPage, MyISAM fields, columns, enumValues) and the
  // page state; closes the .MYD and .ibd files. The dictionary and ibdata1 stay.
  void ResetTable();
  // Closes every file and empties everything, the dictionary included (a new scan).
  void ResetAll();

  // ---- Table definitions (definitions/FrmReader.cpp) ----
  // Reads the .frm at path into tableDef (appends to columns and enumValues; the caller empties
  // them first). Sets settings.newTemporalFormat.
  void ReadTableDefinition(const std::string& path);

  // ---- MyISAM (myisam/) ----
  // Reads the .MYI header: rowFormat, baseInfo, myisamFields. False when the file cannot be opened,
  // is 24 bytes or shorter, or a read failed.
  bool ReadMyisamHeader(const std::string& path);
  // Opens the .MYD file; false when it cannot be opened.
  bool OpenMyisamData(const std::string& path);
  // Reads rows from byte position start of the open .MYD file into rowPage until it holds
  // rowsPerPage rows or the file ends; sets pageFull and appends the next page's start (unless
  // suppressPositions) as the page loop of the record pages does.
  void ReadMyisamPage(uint64_t start);
  // Bytes from one fixed-length row slot of the open .MYD to the next (0 when unknown).
  uint64_t MyisamFixedRowStep() const;
  // Decodes the fixed-length row at position P and appends it to rowPage (false: deleted slot, no row).
  bool DecodeFixedRow(uint64_t position);
  // Reads the dynamic block header at position into info; returns the flags.
  uint32_t ReadBlockHeader(uint64_t position, BlockInfo& info);
  // Unpacks one assembled dynamic record and appends one row; 0 when shorter than minPackLength.
  uint32_t DecodeDynamicRecord(const uint8_t* record, uint32_t length);
  // Decodes one unpacked field (entry of myisamFields) of a dynamic record into its column's cell of
  // row; nullFlags are the record's NULL-flag bytes (none when nullFlagBytes is 0).
  void DecodeDynamicField(size_t entry, const uint8_t* bytes, size_t count, const uint8_t* nullFlags,
                          size_t nullFlagBytes, uint32_t storedLength, Row& row);
  // Works out myisamPlaces for the current TableDef and myisamFields.
  void PrepareMyisamPlaces();
  // Up to count bytes of the .MYD at position, served from a read window (fewer at the end of the
  // file). The view stays valid until the next call.
  ByteView MyisamDataBytes(uint64_t position, size_t count);

  // ---- InnoDB (innodb/) ----
  // Opens ibdata1 and loads SYS_TABLES, SYS_COLUMNS and SYS_INDEXES; false (and closed) when it cannot
  // be opened or page 8 is not an index page (no SYS_TABLES root: an empty, cut-off or damaged file).
  bool LoadSystemTablespace(const std::string& path);
  bool SystemTablespaceOpen() const { return systemFile.IsOpen(); }
  // Opens the table's .ibd and sets ibdPageCount; false when it cannot be opened.
  bool OpenIbd(const std::string& path);
  // Reads the FIL header (and the index page header of an index page) of page into lastPageHeader.
  // False when the page lies outside the file.
  bool ReadPageHeaders(Tablespace ts, uint64_t page);
  // Reads page whole into image and its headers into lastPageHeader with one read. False when the
  // headers cannot be read (as ReadPageHeaders); complete: the whole page was read (the bytes
  // missing from a short read are zero).
  bool ReadPageWithHeaders(Tablespace ts, uint64_t page, std::vector<uint8_t>& image, bool& complete);
  bool ReadDictionaryTable(uint64_t root, int kind);

  // InnoDB column layout (definitions/InnoLayout.cpp).
  uint64_t FindTableId(const std::string& name) const;  // name: database/table (or database\table)
  void LoadLayoutFromDefinition();
  void LoadLayoutFromDictionary(uint64_t tableId);
  uint32_t FindClusteredIndexRoot(uint64_t tableId) const;

  // Index walk (innodb/).
  uint64_t DescendToLeaf(Tablespace ts, uint64_t page);
  // Reads leaf records from (page, offset) on into rowPage, up to rowsPerPage rows; sets pageFull and
  // appends the next page's start (unless suppressPositions).
  void ReadLeafRows(Tablespace ts, uint64_t page, uint64_t offset);

  // ---- InnoDB helpers (innodb/, definitions/InnoLayout.cpp) ----
  // The open file and page count of a tablespace.
  const DataFile& TablespaceFile(Tablespace ts) const { return ts == Tablespace::kIbd ? ibdFile : systemFile; }
  uint64_t TablespacePageCount(Tablespace ts) const { return ts == Tablespace::kIbd ? ibdPageCount : systemPageCount; }
  // Reads page whole into image (kPageSize bytes); false when the page lies outside the file.
  bool ReadPageImage(Tablespace ts, uint64_t page, std::vector<uint8_t>& image) const;
  // Leftmost leaf below page in ibdata1, 0 when there is none.
  uint64_t DescendDictionary(uint64_t page);
  // Reads the dictionary leaf level from leaf on into the list of kind.
  void WalkDictionaryLeaves(uint64_t leaf, int kind);
  // Distance from a node-pointer record's origin to its 4-byte child page number (6 when the
  // clustered key is DB_ROW_ID).
  uint32_t NodePointerChildOffset(const uint8_t* image, size_t origin) const;
  // Text of one stored column (len local bytes at bytes inside the page image; integers are
  // rewritten in place to the little-endian form).
  void DecodeInnoValue(size_t len, uint8_t* bytes, const InnoColumn& entry, bool external, Cell& out);
  // Save mode: writes the external value (local prefix and parts) to saveFolder/blobdata/<counter>;
  // the file's path, or "" when it cannot be created.
  std::string CopyExternalValue(size_t len, const uint8_t* bytes);
  // The whole external value (local prefix and parts) of a column with a 20-byte reference.
  std::string ReadExternalValue(size_t len, const uint8_t* bytes);
  std::string ReadExternalValue(size_t len, const uint8_t* bytes, Tablespace ts) const;
  void OrderLayout();
  // Decodes the fields of the leaf record at origin into one cell per innoLayout entry (fields a
  // record predates take instantDefaults). False when the record is damaged or cut off; the cells
  // not reached stay empty.
  // metadataBlob: the record is the metadata record of a table whose columns were dropped or
  // reordered, with a 20-byte BLOB reference after DB_ROLL_PTR.
  bool DecodeRecordFields(uint8_t* image, size_t origin, std::vector<Cell>& cells, bool metadataBlob = false);
  // Rebuilds innoLayout in the stored field order that the metadata BLOB of the record at origin
  // gives (dropped columns keep their place without a cell); false when it cannot be read.
  bool ApplyStoredFieldOrder(Tablespace ts, const uint8_t* image, size_t origin);
  // The same for a ROW_FORMAT=REDUNDANT record (field end offsets below its 6-byte header).
  bool DecodeRedundantFields(uint8_t* image, size_t origin, std::vector<Cell>& cells);
  // Appends the row of a decoded record; true when the RowPage is now full (the resume position
  // of the following record appended unless suppressPositions).
  bool AppendRecordRow(std::vector<Cell>& cells, size_t columnCount, uint64_t page, uint64_t following);
  // Appends the row of a decoded record to rowPage (cells in innoLayout order).
  void AppendRowCells(std::vector<Cell>& cells, size_t columnCount);

  // ---- InnoDB layout and instant-column state ----
  struct LayoutBuildEntry {
    InnoColumn entry;
    bool taken = false;
  };
  std::vector<LayoutBuildEntry> layoutBuild;
  // Clustered key entries that hold only a prefix of their column: the full column follows later
  // in the record, so the prefix gives no cell. Parallel to innoLayout.
  std::vector<uint8_t> layoutPrefixEntry;
  // A table altered with instant ADD COLUMN: records written before the change carry only the
  // first instantCoreFields fields (0 = not such a table); the metadata record on the leftmost leaf
  // holds the values of the later fields (cells, parallel to innoLayout).
  uint32_t instantCoreFields = 0;
  std::vector<Cell> instantDefaults;
  // Null bitmap width of node pointers when the root records it (-1: from the layout).
  int32_t nodePointerNullBytes = -1;

  // ---- State ----
  DecoderSettings* settings_;

  // Open data files.
  DataFile definitionFile;
  DataFile myisamIndexFile;
  DataFile myisamDataFile;
  DataFile systemFile;
  DataFile ibdFile;

  TableDef tableDef;

  // MyISAM header data.
  int32_t rowFormat = kRowFormatFixed;
  MyisamBaseInfo baseInfo;
  std::vector<MyisamField> myisamFields;
  // Working state of the MyISAM readers.
  std::vector<MyisamColumnPlace> myisamPlaces;
  int32_t myisamNullEntry = -1;          // entry of the NULL-flag area, -1 when none
  std::vector<int32_t> myisamEntryColumn;  // per myisamFields entry its column, -1 when none
  std::vector<uint8_t> myisamWindow;     // bytes of the .MYD from myisamWindowStart
  uint64_t myisamWindowStart = 0;
  std::string myisamWindowPath;          // the file the window was read from
  uint64_t myisamWindowFileLength = 0;
  std::vector<uint8_t> myisamRecord;     // an assembled dynamic record

  // InnoDB.
  uint64_t systemPageCount = 0;
  uint64_t ibdPageCount = 0;
  // Pages of the .ibd read ahead by ReadPageWithHeaders when pages are read in file order:
  // ibdWindowPages pages from ibdWindowFirst on (0 = none); ibdLastPage is the page read last.
  static constexpr uint64_t kIbdWindowPages = 64;
  std::vector<uint8_t> ibdWindow;
  uint64_t ibdWindowFirst = 0;
  uint64_t ibdWindowPages = 0;
  uint64_t ibdLastPage = kNullPage;
  PageHeader lastPageHeader;
  std::vector<SysTablesRow> sysTables;
  std::vector<SysColumnsRow> sysColumns;
  std::vector<SysIndexesRow> sysIndexes;
  std::vector<SysColumnsRow> tableColumnRecords;
  std::vector<InnoColumn> innoLayout;

  // Rows and page state.
  RowPage rowPage;
  // Rows a page holds: kRowsPerPage, as the record grid pages. Only the fuzz harnesses lower it, so
  // that one input walks several short pages instead of decoding thousands of rows.
  size_t rowsPerPage = kRowsPerPage;
  // A walk divided among several readers (each reads its own run of leaf pages or of the .MYD):
  // ReadLeafRows ends, as at the end of the leaf chain, on reaching leaf page stopAtLeafPage, and
  // ReadMyisamPage starts no record at or after byte position stopAtPosition. The defaults never
  // stop a walk.
  uint64_t stopAtLeafPage = kNullPage;
  uint64_t stopAtPosition = UINT64_MAX;
  bool stoppedAtLeafPage = false;  // the last ReadLeafRows ended at stopAtLeafPage
  // The record start a dynamic-row .MYD scan stopped at: the position of the first record it did
  // not read (at or past stopAtPosition when it ran to its stop).
  uint64_t myisamScanEnd = 0;
  // Rows of pages read earlier, kept with their cell buffers so that the next page is decoded into
  // them instead of into newly allocated ones.
  std::vector<Row> spareRows;
  // Empties rowPage, keeping its rows in spareRows.
  void ClearRowPage();
  // Appends a row of columnCount empty text cells to rowPage (a spare row when there is one).
  Row& AppendEmptyRow(size_t columnCount);
  // Streaming: when rowSink is set, each row is handed to it as soon as it has been decoded (as
  // one cell pointer per column, in column order) and then let go, instead of being kept in
  // rowPage (which then holds no more than the row being decoded, its buffers staying warm in the
  // cache); a page still ends after rowsPerPage rows.
  std::function<void(const Cell* const* cells, size_t count)> rowSink;
  size_t sinkRows = 0;  // rows handed to rowSink since the page began
  std::vector<const Cell*> sinkCells;
  std::vector<int32_t> sinkCellOfColumn;  // per column its innoLayout entry (-1: none); per page
  // Rows of the page read so far, kept or handed on.
  size_t PageRowCount() const { return rowSink ? sinkRows : rowPage.size(); }
  // A reader calls this after each row it appended: hands the row to rowSink when streaming.
  void RowDone();
  std::deque<ResumePosition> resumePositions;
  bool pageFull = false;
  bool suppressPositions = false;
  bool readingIbd = false;
  bool resumeFromPosition = false;  // the next read starts at the given offset
  // Pages or regions skipped as damaged by the last walk of this table (salvage count). For the
  // InnoDB leaf walk: the distinct leaf pages that lost records to damage (a page the leaf chain
  // or a leaf's previous/next page number leads to that is not a whole, readable leaf page of the
  // index; a leaf page of the index with no readable infimum; a leaf page whose record chain is
  // cut), plus the leaf pages whose next page number leads nowhere (past the end of the file, back
  // into the chain, or to a page that names another page as its previous). Each is counted once
  // however often the table's pages are read (Previous, Next again) until ResetTable or OpenIbd.
  uint64_t damagedPagesSkipped = 0;

  // ---- InnoDB leaf walk order and salvage (innodb/LeafSalvage.cpp) ----
  // The leaf pages in the order the walk of the table shown reads them: the pages met along the
  // next page numbers from the walk's first page on and, once that chain breaks, every other
  // readable leaf page of the same index (index page, level 0, leafIndexId in its header, whole,
  // with an infimum), in page-number order. A walk started or resumed on one of these pages goes
  // on in this order, so that Next, Previous and reading every page in turn give each record of a
  // readable leaf page once. The whole-file scan runs only when the chain breaks.
  std::vector<uint64_t> leafOrder;
  std::unordered_map<uint64_t, size_t> leafOrderSlot;  // page -> its place in leafOrder
  bool leafSalvage = false;       // the chain broke: leafOrder is complete (salvage order)
  bool leafIndexKnown = false;    // leafIndexId has been read from the walk's first page
  uint64_t leafIndexId = 0;       // index id in the header of the walk's first leaf page
  uint64_t leafFirstPage = kNullPage;  // the first page walked since ResetLeafWalk: the first leaf
  std::unordered_set<uint64_t> leafDamage;  // what damagedPagesSkipped counted (2 * page, + 1 for a link)
  // Damage met by leaf walks, counted each time it is met (a walk that met damage counted before
  // leaves damagedPagesSkipped as it was, but not this).
  uint64_t leafDamageMet = 0;
  // Empties the walk order and the damage counted for it (a new table or tablespace file).
  void ResetLeafWalk();
  // The place of page in leafOrder; a page not in it starts a new order at it.
  size_t BeginLeafWalk(uint64_t page);
  // Whether the page just read (image, headers in lastPageHeader) is a readable leaf page of the
  // walked index; the first page of a walk gives leafIndexId.
  bool IsWalkedLeafPage(const std::vector<uint8_t>& image, bool complete);
  // The place of the page that follows slot, whose next page number is next (leafOrder.size() at
  // the end); followed: the page there was reached by a next page number not yet checked.
  size_t FollowingLeafSlot(Tablespace ts, size_t slot, uint32_t next, bool& followed);
  // The chain breaks at slot (a page reached by its predecessor's next page number that is not a
  // readable leaf page following it): drops it from the order, counts damageKey, completes the
  // salvage order; the place to go on from.
  size_t BreakLeafChain(Tablespace ts, size_t slot, uint64_t damageKey);
  // Appends every readable leaf page of the index not in leafOrder, in page-number order, and
  // counts the damage the page numbers of the leaf pages show (once per table). An order that
  // starts after leafFirstPage first gets the chain from there to its start put before it. The
  // place after page after in the completed order (a page not in it: the first place after that
  // chain).
  size_t CompleteLeafSalvageOrder(Tablespace ts, uint64_t after);
  // Counts one damaged page (key 2 * page) or broken next link (2 * page + 1) once.
  void NoteLeafDamage(uint64_t key);
};

}  // namespace wexholt
