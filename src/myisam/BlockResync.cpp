// The search for the next plausible block header of a dynamic .MYD file (see BlockResync.h).
//
// Taking data bytes for a header would make the scan jump to a wrong place (and past intact
// records, since the scan trusts the blocks that follow), so a position is taken only when its
// header and the headers of the few blocks after it all look like ones MyISAM writes; a record
// found there that still cannot be unpacked makes the scan search again from after it.
#include "myisam/BlockResync.h"

namespace wexholt {

namespace {

constexpr uint64_t kNoLink = ~uint64_t{0};

bool AlignedInside(uint64_t position, uint64_t fileLength) {
  return position < fileLength && position % kDynamicBlockAlign == 0;
}

}  // namespace

bool PlausibleBlockAt(TableReader& reader, uint64_t position, uint64_t fileLength, uint64_t& blockEnd) {
  if (!AlignedInside(position, fileLength)) return false;
  BlockInfo info;
  reader.ReadBlockHeader(position, info);
  const uint8_t type = info.header[0];
  if (type > 13) return false;
  const uint64_t end = info.dataPosition + info.blockLength;
  if (end < position + kMinDynamicBlockLength || end > fileLength || end % kDynamicBlockAlign != 0) return false;
  if (type == 0) {
    const bool nextOk = info.nextPosition == kNoLink || AlignedInside(info.nextPosition, fileLength);
    const bool previousOk = info.previousPosition == kNoLink || AlignedInside(info.previousPosition, fileLength);
    if (!nextOk || !previousOk) return false;
  } else {
    if (info.dataLength == 0) return false;
    const bool recordStart = type <= 6 || type == 13;
    if (recordStart && (info.recordSize < info.dataLength || info.recordSize < reader.baseInfo.minPackLength ||
                        info.recordSize > fileLength))
      return false;
    const bool linked = type == 5 || type == 6 || type >= 11;
    if (linked && (!AlignedInside(info.nextPosition, fileLength) || info.nextPosition == position)) return false;
  }
  blockEnd = end;
  return true;
}

bool BlockShapeAt(TableReader& reader, uint64_t position, uint64_t& blockEnd) {
  BlockInfo info;
  reader.ReadBlockHeader(position, info);
  blockEnd = info.dataPosition + info.blockLength;
  return info.header[0] <= 13 && blockEnd >= position + kMinDynamicBlockLength && blockEnd % kDynamicBlockAlign == 0;
}

bool BlockRunAt(TableReader& reader, uint64_t position, uint64_t fileLength) {
  uint64_t at = 0;
  if (!PlausibleBlockAt(reader, position, fileLength, at)) return false;
  int following = 0;
  while (following < kFollowingBlocks && at < fileLength && BlockShapeAt(reader, at, at)) ++following;
  return following == kFollowingBlocks || at >= fileLength;
}

uint64_t FindNextBlockHeader(TableReader& reader, uint64_t from, uint64_t fileLength) {
  uint64_t position = from + (kDynamicBlockAlign - from % kDynamicBlockAlign) % kDynamicBlockAlign;
  for (; position < fileLength && position >= from; position += kDynamicBlockAlign) {
    // Only a record start or free space: a continuation block would be stepped over unread, and a
    // garbled length in one would carry the scan past intact records.
    const uint8_t type = reader.MyisamDataBytes(position, 1).u8(0);
    if (type >= 7 && type <= 12) continue;
    if (BlockRunAt(reader, position, fileLength)) return position;
  }
  return fileLength;
}

}  // namespace wexholt
