// The .MYI header: the row format of the data file, the base information block and the
// column-information entries. All numbers in the .MYI are big-endian.
//
//   0   4  signature (not checked)
//   4   2  options: & 4 compressed rows, else & 1 dynamic rows, else fixed rows
//   12  2  position of the base information block
//   19  1  number of unique constraints
// Base information, 100 bytes (see MyisamBaseInfo), then:
//   keyCount key definitions: 12 bytes (segment count first), then 18 bytes per segment
//   unique-constraint definitions: 4 bytes (segment count, 2 bytes, first), then 18 bytes per segment
//   fieldCount column entries of 7 bytes: storage type (2), length (2), NULL bit (1), NULL byte (2)
// The key and constraint definitions are skipped. A file of 24 bytes or fewer gives false; a file
// that ends inside a list gives the entries before its end.
#include "definitions/TableReader.h"

namespace wexholt {

namespace {

constexpr size_t kFileHeaderSize = 24;
constexpr size_t kBaseInfoSize = 100;
constexpr size_t kKeyDefSize = 12;
constexpr size_t kSegmentDefSize = 18;
constexpr size_t kUniqueDefSize = 4;
constexpr size_t kFieldEntrySize = 7;

constexpr uint16_t kOptionCompressed = 4;
constexpr uint16_t kOptionPackRecord = 1;

}  // namespace

bool TableReader::ReadMyisamHeader(const std::string& path) {
  myisamIndexFile.Close();
  myisamFields.clear();
  // Without a usable .MYI nothing of an earlier table's header may stay: the row format then
  // follows the definition's "pack record" create option and the sizes are unknown (0).
  baseInfo = MyisamBaseInfo{};
  rowFormat = (tableDef.createOptions & kOptionPackRecord) ? kRowFormatDynamic : kRowFormatFixed;
  if (!myisamIndexFile.Open(path)) return false;
  const uint64_t length = myisamIndexFile.Length();
  if (length <= kFileHeaderSize) {
    myisamIndexFile.Close();
    return false;
  }
  // The header, the base information and the lists all lie near the start; the column entries
  // follow the key definitions, so one read of the leading part serves the whole header.
  const size_t want = length < (1u << 20) ? static_cast<size_t>(length) : (1u << 20);
  std::vector<uint8_t> image = myisamIndexFile.Read(0, want);
  myisamIndexFile.Close();
  if (image.size() <= kFileHeaderSize) return false;
  const ByteView file(image.data(), image.size());

  const uint16_t options = file.be16(4);
  if (options & kOptionCompressed) rowFormat = kRowFormatCompressed;
  else if (options & kOptionPackRecord) rowFormat = kRowFormatDynamic;
  else rowFormat = kRowFormatFixed;

  const uint64_t basePos = file.be16(12);
  const uint8_t uniqueCount = file.u8(19);
  if (basePos >= length) return true;

  const ByteView b = file.Sub(basePos, kBaseInfoSize);
  MyisamBaseInfo info;
  info.keyFileStart = b.be64(0);
  info.maxDataFileLength = b.be64(8);
  info.maxKeyFileLength = b.be64(16);
  info.records = b.be64(24);
  info.reloc = b.be64(32);
  info.meanRowLength = b.be32(40);
  info.baseRecordLength = b.be32(44);
  info.packedRecordLength = b.be32(48);
  info.minPackLength = b.be32(52);
  info.maxPackLength = b.be32(56);
  info.minBlockLength = b.be32(60);
  info.fieldCount = b.be32(64);
  info.packFieldCount = b.be32(68);
  info.rowRefLength = b.u8(72);
  info.keyRefLength = b.u8(73);
  info.keyCount = b.u8(74);
  info.autoKey = b.u8(75);
  info.packBitBytes = b.be16(76);
  info.blobCount = b.be16(78);
  info.maxKeyBlockLength = b.be16(80);
  info.maxKeyLength = b.be16(82);
  info.extraAllocBytes = b.be16(84);
  info.extraAlloc = b.be32(86);
  info.raidChunkSize = b.be32(90);
  baseInfo = info;

  uint64_t pos = basePos + kBaseInfoSize;
  const uint64_t end = image.size();
  for (uint32_t k = 0; k < info.keyCount && pos < end; ++k)
    pos += kKeyDefSize + kSegmentDefSize * file.u8(static_cast<size_t>(pos));
  for (uint32_t u = 0; u < uniqueCount && pos < end; ++u)
    pos += kUniqueDefSize + kSegmentDefSize * file.be16(static_cast<size_t>(pos));
  for (uint32_t f = 0; f < info.fieldCount && pos + kFieldEntrySize <= end; ++f, pos += kFieldEntrySize) {
    const size_t at = static_cast<size_t>(pos);
    MyisamField field;
    field.storageType = static_cast<int16_t>(file.be16(at));
    field.storedLength = file.be16(at + 2);
    field.nullBit = file.u8(at + 4);
    field.nullPos = file.be16(at + 5);
    myisamFields.push_back(field);
  }
  return true;
}

}  // namespace wexholt
