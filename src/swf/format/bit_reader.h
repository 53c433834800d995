// Reading the file's fields: little-endian bytes, bit fields (UB, SB, FB)
// read from the high bit down, and the records built from them (RECT,
// MATRIX, CXFORM, colours, strings). Every read is checked against the end
// of the data it was given; a read past it throws DamagedData.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "swf/model/swf_types.h"

namespace dc::swf {

// What one tag (or the header) holds is damaged: it ends early, or a value
// in it cannot be right. The reader leaves the tag out, with a warning.
class DamagedData : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class BitReader {
 public:
  explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}

  // Whole bytes; each starts at the next byte boundary.
  std::uint8_t U8();
  std::uint16_t U16();
  std::uint32_t U32();
  std::int16_t S16() { return static_cast<std::int16_t>(U16()); }
  double Fixed8() { return S16() / 256.0; }                                // signed 8.8
  double Fixed16() { return static_cast<std::int32_t>(U32()) / 65536.0; }  // signed 16.16
  float Float32() { return std::bit_cast<float>(U32()); }                 // IEEE single
  std::span<const std::uint8_t> Bytes(std::size_t n);
  std::span<const std::uint8_t> Rest();  // to the end
  void Skip(std::size_t n) { (void)Bytes(n); }
  // A STRING: the bytes up to a 0 byte, which is passed over.
  std::span<const std::uint8_t> String();

  // Bit fields, 0 to 32 bits, continuing in the current byte.
  std::uint32_t UB(unsigned bits);
  std::int32_t SB(unsigned bits);
  double FB(unsigned bits) { return SB(bits) / 65536.0; }
  bool Flag() { return UB(1) != 0; }
  // Passes over what is left of a partly read byte.
  void Align() {
    if (bit_ != 0) {
      ++pos_;
      bit_ = 0;
    }
  }

  TwipRect Rect();
  Matrix ReadMatrix();
  // CXFORM, or CXFORMWITHALPHA with `alpha`.
  ColorTransform ReadColorTransform(bool alpha);
  Rgba Rgb();
  Rgba ReadRgba();

  std::size_t Position() const { return pos_ + (bit_ != 0); }  // of the next whole byte
  std::size_t Remaining() const { return data_.size() - std::min(data_.size(), Position()); }
  bool AtEnd() const { return Remaining() == 0; }

 private:
  void Need(std::size_t n) const;

  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;  // the byte being read; with bit_ > 0, partly read
  unsigned bit_ = 0;     // bits of data_[pos_] already read
};

}  // namespace dc::swf
