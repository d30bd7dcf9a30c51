// ByteView: a checked, read-only view over a byte buffer.
//
// Every reader of this program takes its numbers out of file images through this one type, so that
// bounds and byte order live in one place. A read that would leave the buffer does not fail loudly:
// the bytes that the buffer does not supply count as zero, which is how the readers treat short or
// damaged data (a field past the end of a row, a header cut off by the end of a file).
//
//   le16/le24/le32/le64   little-endian (.frm, MyISAM row images)
//   be16/be24/be32/be48/be64   big-endian (.MYI header, MyISAM block headers, InnoDB pages)
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace wexholt {

class ByteView {
 public:
  ByteView() = default;
  ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  ByteView(const char* data, size_t size) : data_(reinterpret_cast<const uint8_t*>(data)), size_(size) {}
  explicit ByteView(std::string_view s) : ByteView(s.data(), s.size()) {}

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // True when [offset, offset + count) lies inside the buffer.
  bool Contains(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }

  // The byte at offset, 0 outside the buffer.
  uint8_t u8(size_t offset) const { return offset < size_ ? data_[offset] : 0; }

  // The part [offset, offset + count) clipped to the buffer; empty when offset is outside.
  ByteView Sub(size_t offset, size_t count) const {
    if (offset >= size_) return {};
    size_t n = count < size_ - offset ? count : size_ - offset;
    return ByteView(data_ + offset, n);
  }
  ByteView From(size_t offset) const { return offset >= size_ ? ByteView() : ByteView(data_ + offset, size_ - offset); }

  // Copies count bytes from offset into out; bytes outside the buffer are written as zero.
  void CopyTo(size_t offset, size_t count, uint8_t* out) const {
    for (size_t i = 0; i < count; ++i) out[i] = u8(offset + i);
  }

  uint64_t le(size_t offset, size_t width) const {
    uint64_t v = 0;
    for (size_t i = width; i-- > 0;) v = (v << 8) | u8(offset + i);
    return v;
  }
  uint64_t be(size_t offset, size_t width) const {
    uint64_t v = 0;
    for (size_t i = 0; i < width; ++i) v = (v << 8) | u8(offset + i);
    return v;
  }

  uint16_t le16(size_t o) const { return static_cast<uint16_t>(le(o, 2)); }
  uint32_t le24(size_t o) const { return static_cast<uint32_t>(le(o, 3)); }
  uint32_t le32(size_t o) const { return static_cast<uint32_t>(le(o, 4)); }
  uint64_t le64(size_t o) const { return le(o, 8); }
  uint16_t be16(size_t o) const { return static_cast<uint16_t>(be(o, 2)); }
  uint32_t be24(size_t o) const { return static_cast<uint32_t>(be(o, 3)); }
  uint32_t be32(size_t o) const { return static_cast<uint32_t>(be(o, 4)); }
  uint64_t be48(size_t o) const { return be(o, 6); }
  uint64_t be64(size_t o) const { return be(o, 8); }

  // The bytes from offset up to (not including) the first zero byte, at most to the end.
  std::string_view CString(size_t offset) const {
    if (offset >= size_) return {};
    const uint8_t* p = data_ + offset;
    const void* z = std::memchr(p, 0, size_ - offset);
    size_t n = z ? static_cast<size_t>(static_cast<const uint8_t*>(z) - p) : size_ - offset;
    return std::string_view(reinterpret_cast<const char*>(p), n);
  }
  std::string_view AsString() const { return std::string_view(reinterpret_cast<const char*>(data_), size_); }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace wexholt
