// One column of a COMPACT-family record to its cell, and values stored off-page.
//
// InnoDB stores integers (and DATE, YEAR, ENUM, SET, the temporal types before 5.6) big-endian with
// the sign bit inverted on signed columns; they are turned into the little-endian two's-complement
// form of a MyISAM row image, in place, before the shared field rules decode them. Everything else
// (DECIMAL, BIT, the 5.6 temporal types big-endian; FLOAT, DOUBLE little-endian; character data)
// already has that form.
//
// A column stored off-page keeps its first bytes locally, followed by a 20-byte reference
// (big-endian): space id (4), page of the first part (4), byte position of the first part in that
// page (4), length of the off-page part (8). Each part: 4 bytes part length, 4 bytes next page
// (0xFFFFFFFF = none), the part's bytes; parts after the first start at byte 38 of their page.
// BLOB and TEXT values stored this way show "Large Size Blob Data" while browsing; in save mode
// they are copied into a file under saveFolder + "blobdata/" (or read in full into the cell when
// external values are to be inlined). Other types (a long VARCHAR) are read in full.
//
// Reading a chain never leaves a page or the file: a part ends at the page's data end, a page
// outside the file or already read ends the chain, and no more than the recorded length is taken.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unordered_set>

#include "decoding/ByteView.h"
#include "decoding/FieldText.h"
#include "decoding/Text.h"
#include "definitions/TableReader.h"

namespace wexholt {

namespace {

constexpr size_t kExternalReference = 20;
constexpr size_t kExternalPartHeader = 8;
constexpr size_t kLaterPartStart = 38;
constexpr size_t kPageDataEnd = kPageSize - 8;

bool IsBlobType(int32_t t) { return t >= TypeCode::kTinyBlob && t <= TypeCode::kBlob; }

// Calls sink with the local prefix and then with every part of the off-page chain, in order.
void ForEachExternalPart(const TableReader& reader, Tablespace ts, size_t len, const uint8_t* bytes,
                         const std::function<void(const uint8_t*, size_t)>& sink) {
  if (len < kExternalReference) return;
  size_t prefix = len - kExternalReference;
  if (prefix > 0) sink(bytes, prefix);
  ByteView ref(bytes + prefix, kExternalReference);
  uint64_t page = ref.be32(4);
  size_t position = ref.be32(8);
  uint64_t remaining = ref.be64(12);
  uint64_t pageCount = reader.TablespacePageCount(ts);
  std::unordered_set<uint64_t> visited;
  std::vector<uint8_t> image;
  while (remaining > 0 && page < pageCount && visited.insert(page).second) {
    if (!reader.ReadPageImage(ts, page, image)) break;
    if (position < kLaterPartStart || position + kExternalPartHeader > kPageDataEnd) break;
    ByteView v(image.data(), image.size());
    uint64_t part = v.be32(position);
    uint64_t next = v.be32(position + 4);
    size_t start = position + kExternalPartHeader;
    part = std::min<uint64_t>({part, kPageDataEnd - start, remaining});
    if (part == 0) break;
    sink(image.data() + start, static_cast<size_t>(part));
    remaining -= part;
    page = next;
    position = kLaterPartStart;
  }
}

}  // namespace

std::string TableReader::ReadExternalValue(size_t len, const uint8_t* bytes) {
  return ReadExternalValue(len, bytes, readingIbd ? Tablespace::kIbd : Tablespace::kSystem);
}

std::string TableReader::ReadExternalValue(size_t len, const uint8_t* bytes, Tablespace ts) const {
  std::string value;
  ForEachExternalPart(*this, ts, len, bytes, [&](const uint8_t* p, size_t n) {
    value.append(reinterpret_cast<const char*>(p), n);
  });
  return value;
}

std::string TableReader::CopyExternalValue(size_t len, const uint8_t* bytes) {
  DecoderSettings& s = Settings();
  std::string folder = JoinPath(s.saveFolder, "blobdata/");
  std::string path = folder + std::to_string(static_cast<uint32_t>(s.blobFileCounter));
  ++s.blobFileCounter;
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return "";
  ForEachExternalPart(*this, readingIbd ? Tablespace::kIbd : Tablespace::kSystem, len, bytes,
                      [&](const uint8_t* p, size_t n) {
    out.write(reinterpret_cast<const char*>(p), static_cast<std::streamsize>(n));
  });
  out.close();
  return path;
}

void TableReader::DecodeInnoValue(size_t len, uint8_t* bytes, const InnoColumn& entry, bool external,
                                  Cell& out) {
  const ColumnDef& column = entry.column;
  const DecoderSettings& s = Settings();
  if (external && len >= kExternalReference) {
    if (IsBlobType(column.typeCode) && !s.inlineExternalValues && !(s.SaveMode() && s.saveFolder.empty())) {
      if (s.SaveMode()) {
        std::string path = CopyExternalValue(len, bytes);
        out.kind = path.empty() ? CellKind::kText : CellKind::kExternal;
        out.text = std::move(path);
      } else {
        out.text = kLargeSizeBlobMarker;
        out.kind = CellKind::kMarker;
      }
      return;
    }
    if (column.typeCode == TypeCode::kGeometry && !s.SaveMode()) {
      out.text = kSpatialMarker;  // shown as a marker while browsing: no need to read the chain
      out.kind = CellKind::kMarker;
      return;
    }
    std::string value = ReadExternalValue(len, bytes);
    DecodeFieldText(column, reinterpret_cast<const uint8_t*>(value.data()), value.size(),
                    FieldSource::kInnoDbRecord, s, out);
    return;
  }
  if (entry.mainType == InnoMainType::kInt && len > 0) {
    std::reverse(bytes, bytes + len);
    if ((entry.preciseType & kPreciseUnsigned) == 0) bytes[len - 1] ^= 0x80;
  }
  DecodeFieldText(column, bytes, len, FieldSource::kInnoDbRecord, s, out);
}

}  // namespace wexholt
