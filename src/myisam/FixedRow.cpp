// The .MYD data file and its fixed-length rows.
//
// Fixed rows lie back to back from offset 0, each recordLength bytes (TableDef) long: the NULL
// flags first (nullBytes), then every column at recordPos - 1 with the width of its type (see
// MyisamColumns.cpp). Bit 0 of the first byte is reserved and set in every live row; a deleted
// row's slot starts with a zero byte (followed by the link to the next deleted slot) and gives no
// row. A row cut off by the end of the file reads its missing bytes as zero.
//
// The file is read through a window of kWindowSize bytes, so a page of rows costs a few reads.
#include "decoding/FieldText.h"
#include "myisam/MyisamColumns.h"

namespace wexholt {

namespace {

constexpr size_t kWindowSize = 256 * 1024;
constexpr uint16_t kCreatePackRecord = 1;

}  // namespace

bool TableReader::OpenMyisamData(const std::string& path) {
  myisamWindow.clear();
  myisamWindowStart = 0;
  myisamWindowPath.clear();
  myisamWindowFileLength = 0;
  return myisamDataFile.Open(path);
}

ByteView TableReader::MyisamDataBytes(uint64_t position, size_t count) {
  if (!myisamDataFile.IsOpen()) return {};
  const uint64_t length = myisamDataFile.Length();
  if (myisamWindowPath != myisamDataFile.Path() || myisamWindowFileLength != length) {
    myisamWindow.clear();
    myisamWindowPath = myisamDataFile.Path();
    myisamWindowFileLength = length;
  }
  if (position >= length) return {};
  if (position >= myisamWindowStart && position - myisamWindowStart <= myisamWindow.size()) {
    const size_t at = static_cast<size_t>(position - myisamWindowStart);
    if (myisamWindow.size() - at >= count || myisamWindowStart + myisamWindow.size() >= length)
      return ByteView(myisamWindow.data(), myisamWindow.size()).Sub(at, count);
  }
  uint64_t want = count > kWindowSize ? count : kWindowSize;
  if (want > length - position) want = length - position;
  myisamWindow.resize(static_cast<size_t>(want));
  const size_t got = myisamDataFile.ReadAt(position, myisamWindow.data(), myisamWindow.size());
  myisamWindow.resize(got);
  myisamWindowStart = position;
  return ByteView(myisamWindow.data(), myisamWindow.size()).Sub(0, count);
}

bool TableReader::DecodeFixedRow(uint64_t position) {
  if (myisamPlaces.size() != tableDef.columns.size()) PrepareMyisamPlaces();
  const size_t recordLength = tableDef.recordLength > 0 ? static_cast<size_t>(tableDef.recordLength)
                                                        : baseInfo.baseRecordLength;
  const ByteView row = MyisamDataBytes(position, recordLength);
  const bool reservedBit = !(tableDef.createOptions & kCreatePackRecord);
  if (reservedBit && row.u8(0) == 0) return false;

  const ByteView nullFlags = row.Sub(0, tableDef.nullBytes > 0 ? static_cast<size_t>(tableDef.nullBytes) : 0);
  Row& out = AppendEmptyRow(tableDef.columns.size());
  for (size_t k = 0; k < tableDef.columns.size(); ++k) {
    const MyisamColumnPlace& place = myisamPlaces[k];
    const ByteView field = row.Sub(place.offset, place.width);
    DecodeMyisamColumn(tableDef.columns[k], place, field.data(), field.size(), nullFlags, FieldSource::kFixedRow,
                       Settings(), out[k]);
  }
  return true;
}

}  // namespace wexholt
