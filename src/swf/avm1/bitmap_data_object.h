// A flash.display.BitmapData as the engine holds it: a script object that
// owns (shares) a bitmap's pixels, whose bytes count against the scripts'
// memory; and what the BitmapData methods share in reading their
// arguments and charging their work.
#pragma once

#include <memory>
#include <optional>
#include <span>

#include "swf/avm1/bitmap_pixels.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {

class BitmapDataObject final : public Object {
 public:
  BitmapDataObject(Object* prototype, std::shared_ptr<BitmapPixels> p) : Object(prototype), pixels(std::move(p)) {}
  std::size_t Footprint() const override {
    return sizeof(BitmapDataObject) + props.Bytes() + (pixels ? pixels->HeldBytes() : 0);
  }
  std::shared_ptr<BitmapPixels> pixels;  // null once disposed
};

// The live (not disposed) BitmapData `v` is, else null.
BitmapDataObject* BitmapDataOf(Value v);

// A new BitmapData through flash.display.BitmapData's prototype as _global
// holds it now; its pixels are `pixels`, already counted.
Value NewBitmapData(Runtime& rt, std::shared_ptr<BitmapPixels> pixels);

// The largest bitmap the movie's version allows: Flash 8 and 9 take 2880
// pixels a side; from SWF 10 a side may be 8191 and the whole below 2^24
// pixels.
bool BitmapSizeAllowed(int swfVersion, std::int64_t width, std::int64_t height);

// Makes a uniform bitmap's pixels real before a write, counting their
// bytes against the memory limit first (the frame's scripts stop when
// they do not fit).
void MakeWritable(Runtime& rt, BitmapPixels& pixels);
// Counts `pixels` touched against the frame's action budget.
void CountPixels(Runtime& rt, std::int64_t pixels);

// Arguments as BitmapData's methods read them.
std::int32_t IntArg(Runtime& rt, std::span<const Value> args, std::size_t i);
std::uint32_t ColourArg(Runtime& rt, std::span<const Value> args, std::size_t i);
// A rectangle: any object with x, y, width and height, none missing.
std::optional<BitmapRect> RectArg(Runtime& rt, Value v);
// A point: any object with x and y, none missing.
std::optional<std::pair<std::int32_t, std::int32_t>> PointArg(Runtime& rt, Value v);
// A point where anything else is the origin (and a missing member is 0).
std::pair<std::int32_t, std::int32_t> PointOrOrigin(Runtime& rt, Value v);

void InstallBitmapEffects(Runtime& rt, Object* bitmapDataProto, Object* bitmapDataClass);

}  // namespace dc::swf::avm1
