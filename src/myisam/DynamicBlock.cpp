// Block headers of a dynamic-format .MYD file.
//
// Every block starts with a type byte; the numbers after it are big-endian. start is the block's
// file position, u the number of unused bytes at the block's end.
//
//   type  header  after the type byte                                   data at    flags
//   0     20      block length (3), next deleted (8), previous deleted (8)  start   deleted
//   1     3       length (2)                                            start+3    first, last
//   2     4       length (3)                                            start+4    first, last
//   3     4       length (2), u (1)                                     start+4    first, last
//   4     5       length (3), u (1)                                     start+5    first, last
//   5     13      record length (2), data length (2), next block (8)    start+13   first
//   6     15      record length (3), data length (3), next block (8)    start+15   first
//   7     3       data length (2)                                       start+3    last
//   8     4       data length (3)                                       start+4    last
//   9     4       data length (2), u (1)                                start+4    last
//   10    5       data length (3), u (1)                                start+5    last
//   11    11      data length (2), next block (8)                       start+11   -
//   12    12      data length (3), next block (8)                       start+12   -
//   13    16      record length (4), data length (3), next block (8)    start+16   first
//
// Types 5, 6, 11, 12 and 13 announce a continuation (secondRead). A continuation block (7-12) met
// where a record should start, or a record start (0-6, 13) met where a continuation should follow,
// is flagged out of sequence. A type byte above 13 is no block: it is returned as it is and the
// BlockInfo keeps its values.
#include "definitions/TableReader.h"

namespace wexholt {

uint32_t TableReader::ReadBlockHeader(uint64_t position, BlockInfo& info) {
  const ByteView bytes = MyisamDataBytes(position, info.header.size());
  info.header.fill(0);
  bytes.CopyTo(0, bytes.size(), info.header.data());
  const ByteView h(info.header.data(), info.header.size());
  const uint8_t type = h.u8(0);

  const bool outOfSequence =
      info.secondRead == 0 ? (type >= 7 && type <= 12) : (type <= 6 || type == 13);
  if (type > 13) return type;

  uint32_t flags = 0;
  switch (type) {
    case 0:
      info.blockLength = h.be24(1);
      info.nextPosition = h.be64(4);
      info.previousPosition = h.be64(12);
      info.dataPosition = position;
      flags = kBlockDeleted;
      break;
    case 1:
    case 2: {
      const uint32_t length = type == 1 ? h.be16(1) : h.be24(1);
      info.recordSize = info.dataLength = info.blockLength = length;
      info.dataPosition = position + (type == 1 ? 3 : 4);
      flags = kBlockFirst | kBlockLast;
      break;
    }
    case 3:
    case 4: {
      const uint32_t length = type == 3 ? h.be16(1) : h.be24(1);
      const uint32_t unused = h.u8(type == 3 ? 3 : 4);
      info.recordSize = info.dataLength = length;
      info.blockLength = length + unused;
      info.dataPosition = position + (type == 3 ? 4 : 5);
      flags = kBlockFirst | kBlockLast;
      break;
    }
    case 5:
      info.recordSize = h.be16(1);
      info.dataLength = info.blockLength = h.be16(3);
      info.nextPosition = h.be64(5);
      info.dataPosition = position + 13;
      info.secondRead = 1;
      flags = kBlockFirst;
      break;
    case 6:
      info.recordSize = h.be24(1);
      info.dataLength = info.blockLength = h.be24(4);
      info.nextPosition = h.be64(7);
      info.dataPosition = position + 15;
      info.secondRead = 1;
      flags = kBlockFirst;
      break;
    case 7:
    case 8:
      info.dataLength = info.blockLength = type == 7 ? h.be16(1) : h.be24(1);
      info.dataPosition = position + (type == 7 ? 3 : 4);
      flags = kBlockLast;
      break;
    case 9:
    case 10: {
      info.dataLength = type == 9 ? h.be16(1) : h.be24(1);
      info.blockLength = info.dataLength + h.u8(type == 9 ? 3 : 4);
      info.dataPosition = position + (type == 9 ? 4 : 5);
      flags = kBlockLast;
      break;
    }
    case 11:
      info.dataLength = info.blockLength = h.be16(1);
      info.nextPosition = h.be64(3);
      info.dataPosition = position + 11;
      info.secondRead = 1;
      break;
    case 12:
      info.dataLength = info.blockLength = h.be24(1);
      info.nextPosition = h.be64(4);
      info.dataPosition = position + 12;
      info.secondRead = 1;
      break;
    case 13:
      info.recordSize = h.be32(1);
      info.dataLength = info.blockLength = h.be24(5);
      info.nextPosition = h.be64(8);
      info.dataPosition = position + 16;
      info.secondRead = 1;
      flags = kBlockFirst;
      break;
  }
  if (outOfSequence) flags |= kBlockOutOfSequence;
  return flags;
}

}  // namespace wexholt
