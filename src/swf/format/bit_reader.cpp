// The file's fields, each read checked against the end.
#include "swf/format/bit_reader.h"

#include <string>

namespace dc::swf {

void BitReader::Need(std::size_t n) const {
  if (n > data_.size() - pos_) {
    throw DamagedData("the data ends " + std::to_string(n - (data_.size() - pos_)) + " bytes early");
  }
}

std::uint8_t BitReader::U8() {
  Align();
  Need(1);
  return data_[pos_++];
}

std::uint16_t BitReader::U16() {
  const std::uint16_t lo = U8();
  return static_cast<std::uint16_t>(lo | U8() << 8);
}

std::uint32_t BitReader::U32() {
  const std::uint32_t lo = U16();
  return lo | std::uint32_t{U16()} << 16;
}

std::span<const std::uint8_t> BitReader::Bytes(std::size_t n) {
  Align();
  Need(n);
  const auto out = data_.subspan(pos_, n);
  pos_ += n;
  return out;
}

std::span<const std::uint8_t> BitReader::Rest() { return Bytes(Remaining()); }

std::span<const std::uint8_t> BitReader::String() {
  Align();
  for (std::size_t end = pos_; end < data_.size(); ++end) {
    if (data_[end] == 0) {
      const auto text = data_.subspan(pos_, end - pos_);
      pos_ = end + 1;
      return text;
    }
  }
  throw DamagedData("a text has no end");
}

std::uint32_t BitReader::UB(unsigned bits) {
  std::uint64_t value = 0;
  while (bits > 0) {
    Need(1);
    const unsigned take = std::min(bits, 8 - bit_);
    const unsigned shift = 8 - bit_ - take;
    value = value << take | ((data_[pos_] >> shift) & ((1u << take) - 1));
    bits -= take;
    bit_ += take;
    if (bit_ == 8) {
      bit_ = 0;
      ++pos_;
    }
  }
  return static_cast<std::uint32_t>(value);
}

std::int32_t BitReader::SB(unsigned bits) {
  if (bits == 0) return 0;
  const std::uint32_t raw = UB(bits);
  if (bits >= 32) return static_cast<std::int32_t>(raw);
  const std::uint32_t sign = 1u << (bits - 1);
  return static_cast<std::int32_t>((raw ^ sign)) - static_cast<std::int32_t>(sign);
}

TwipRect BitReader::Rect() {
  Align();
  const unsigned bits = UB(5);
  TwipRect r;
  r.xMin = SB(bits);
  r.xMax = SB(bits);
  r.yMin = SB(bits);
  r.yMax = SB(bits);
  Align();
  return r;
}

Matrix BitReader::ReadMatrix() {
  Align();
  Matrix m;
  if (Flag()) {
    const unsigned bits = UB(5);
    m.a = FB(bits);
    m.d = FB(bits);
  }
  if (Flag()) {
    const unsigned bits = UB(5);
    m.b = FB(bits);
    m.c = FB(bits);
  }
  const unsigned bits = UB(5);
  m.tx = SB(bits);
  m.ty = SB(bits);
  Align();
  return m;
}

ColorTransform BitReader::ReadColorTransform(bool alpha) {
  Align();
  const bool hasAdd = Flag(), hasMul = Flag();
  const unsigned bits = UB(4);
  ColorTransform cx;
  if (hasMul) {
    cx.mulR = SB(bits) / 256.0;
    cx.mulG = SB(bits) / 256.0;
    cx.mulB = SB(bits) / 256.0;
    if (alpha) cx.mulA = SB(bits) / 256.0;
  }
  if (hasAdd) {
    cx.addR = SB(bits);
    cx.addG = SB(bits);
    cx.addB = SB(bits);
    if (alpha) cx.addA = SB(bits);
  }
  Align();
  return cx;
}

Rgba BitReader::Rgb() {
  const auto b = Bytes(3);
  return {b[0], b[1], b[2], 255};
}

Rgba BitReader::ReadRgba() {
  const auto b = Bytes(4);
  return {b[0], b[1], b[2], b[3]};
}

}  // namespace dc::swf
