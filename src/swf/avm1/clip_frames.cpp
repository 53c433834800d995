// Frames named by numbers, strings, labels and target paths, and the jumps
// of the goto action and methods.
#include "swf/avm1/clip_frames.h"

#include <climits>
#include <string>

#include "swf/avm1/conversions.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {
namespace {

// Digits only: a frame number modulo 2^32.
std::optional<std::uint32_t> FrameDigits(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint32_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return n;
}

void Go(Clip* clip, std::int64_t frame, bool play) {
  if (frame < 1) return;
  clip->GotoFrame(static_cast<int>(std::min<std::int64_t>(frame, INT_MAX)), play);
}

}  // namespace

FrameRef FindFrame(Runtime& rt, Clip* clip, Value frame, bool integers) {
  FrameRef out;
  out.clip = clip;
  if (!clip) return out;
  if (integers && frame.IsNumber()) {
    out.number = ToUint32(frame.n);
    return out;
  }
  const std::string text = rt.ToString(frame);
  std::string_view name = text;
  if (const std::size_t colon = name.rfind(':'); colon != std::string_view::npos) {
    out.clip = rt.LiveClip(rt.ResolveTarget(rt.ObjectFor(*clip), name.substr(0, colon)));
    name = name.substr(colon + 1);
    if (!out.clip) return out;
  }
  out.number = FrameDigits(name);
  if (!out.number) {
    if (const std::optional<int> label = out.clip->FrameOfLabel(name)) out.number = static_cast<std::uint32_t>(*label);
  }
  return out;
}

void GotoFrameAction(Runtime& rt, Clip* clip, Value frame, std::uint16_t bias, bool play) {
  const FrameRef f = FindFrame(rt, clip, frame, false);
  if (!f.clip || !f.number) return;
  Go(f.clip, static_cast<std::int64_t>(*f.number) + bias, play);
}

void GotoFrameMethod(Runtime& rt, Clip* clip, Value frame, bool play) {
  const FrameRef f = FindFrame(rt, clip, frame, true);
  if (!f.clip || !f.number) return;
  // As a signed 32-bit number: 2^31 wraps to the most negative one, whose
  // frame before wraps to the greatest.
  const auto before = static_cast<std::int32_t>(*f.number - 1u);
  if (before < 0) return;
  Go(f.clip, static_cast<std::int64_t>(before) + 1, play);
}

}  // namespace dc::swf::avm1
