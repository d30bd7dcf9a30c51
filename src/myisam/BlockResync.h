// Finding the way back into a dynamic-format .MYD file after a damaged region.
//
// The blocks of a dynamic .MYD file start at positions that are multiples of 4, and every block,
// header included, is at least 20 bytes long and a multiple of 4 bytes long. After a block that
// cannot be read, the scan looks for the next position where such a block plausibly starts.
#pragma once

#include <cstdint>

#include "definitions/TableReader.h"

namespace wexholt {

// Blocks of a dynamic .MYD file start at multiples of this.
constexpr uint64_t kDynamicBlockAlign = 4;
// No block of a dynamic .MYD file, header included, is shorter than this.
constexpr uint64_t kMinDynamicBlockLength = 20;

// True when a block plausibly starts at position of the open .MYD (length fileLength): the position
// is aligned, the type byte is 0..13, the block is at least kMinDynamicBlockLength bytes long, ends
// aligned and inside the file, a record start announces a record of at least minPackLength bytes
// that holds its data, a next-block link or a free-space link is aligned and inside the file (or,
// for free space, none). blockEnd receives the block's end.
bool PlausibleBlockAt(TableReader& reader, uint64_t position, uint64_t fileLength, uint64_t& blockEnd);

// True when the header at position gives a block of a shape MyISAM writes: type byte 0..13, at
// least kMinDynamicBlockLength bytes, a multiple of kDynamicBlockAlign long; blockEnd receives its
// end. Its links and its end are not checked, so that a block cut off by the end of the file, or
// linking to a part cut off, still counts.
bool BlockShapeAt(TableReader& reader, uint64_t position, uint64_t& blockEnd);

// Blocks after a candidate that must have the right shape (fewer when the file ends after them).
constexpr int kFollowingBlocks = 2;

// True when a plausible block starts at position and is followed by kFollowingBlocks blocks of
// the right shape (BlockShapeAt), each starting where the one before ends, or by fewer that reach
// the end of the file.
bool BlockRunAt(TableReader& reader, uint64_t position, uint64_t fileLength);

// The first aligned position at or after from where a record start or free space (type 0..6, 13)
// begins for which BlockRunAt holds; fileLength when there is none. Reads only inside the file and steps forward by kDynamicBlockAlign, so the search ends.
uint64_t FindNextBlockHeader(TableReader& reader, uint64_t from, uint64_t fileLength);

}  // namespace wexholt
