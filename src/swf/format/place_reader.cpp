// Placements: the optional fields in the order the flags give them, filter
// lists, and clip actions with their events mapped to ours.
#include "swf/format/place_reader.h"

#include <string>

namespace dc::swf {
namespace {

// The file's clip event flags: 16 bits before Flash 6, else 32, the first
// byte's high bit at the top.
std::uint32_t ReadRawEventFlags(BitReader& r, std::uint8_t version) {
  std::uint32_t raw = 0;
  for (int i = 0; i < 4; ++i) raw = raw << 8 | (i < 2 || version >= 6 ? r.U8() : 0);
  return raw;
}

std::uint32_t ClipEventsOf(std::uint32_t raw) {
  std::uint32_t events = 0;
  for (std::size_t bit = 0; bit < kClipEventOfFileBit.size(); ++bit) {
    if (raw & (0x80000000u >> bit)) events |= kClipEventOfFileBit[bit];
  }
  return events;
}

std::vector<ClipAction> ReadClipActions(BitReader& r, ReadContext& context) {
  (void)r.U16();                                // reserved
  // The header's events, all the records' together, are the ones Flash
  // listens for: a record's event missing there never fires.
  const std::uint32_t all = ReadRawEventFlags(r, context.version);
  std::vector<ClipAction> actions;
  for (;;) {
    const std::uint32_t raw = ReadRawEventFlags(r, context.version);
    if (raw == 0) break;
    auto body = r.Bytes(r.U32());
    ClipAction action;
    action.events = ClipEventsOf(raw);
    if (action.events & kEventKeyPress) {
      if (body.empty()) throw DamagedData("a key press event without its key");
      action.keyCode = body[0];
      body = body.subspan(1);
    }
    action.events &= ClipEventsOf(all);
    if (action.events == 0) continue;  // reserved or unheard events only: never runs
    context.Spend(sizeof(ClipAction));
    action.actions = context.Actions(body);
    actions.push_back(std::move(action));
  }
  return actions;
}

}  // namespace

std::vector<Filter> ReadFilterList(BitReader& r, ReadContext& context) {
  const std::uint8_t count = r.U8();
  std::vector<Filter> filters;
  for (std::uint8_t i = 0; i < count; ++i) {
    const std::uint8_t id = r.U8();
    if (id > 7) throw DamagedData("a filter of unknown kind " + std::to_string(id));
    context.Spend(sizeof(Filter));
    // The flags byte that ends most kinds: inner, knockout, composite
    // (the object drawn too), on top (bevels), and the count of passes in
    // its low bits.
    struct Flags {
      bool inner, knockout, composite, onTop;
      std::uint8_t passes;
    };
    const auto flags = [&](int passBits) {
      const std::uint8_t b = r.U8();
      return Flags{(b & 0x80) != 0, (b & 0x40) != 0, (b & 0x20) != 0, passBits == 4 && (b & 0x10) != 0,
                   static_cast<std::uint8_t>(b & ((1u << passBits) - 1))};
    };
    const auto type = [](const Flags& f) {
      return f.onTop ? BevelType::Full : f.inner ? BevelType::Inner : BevelType::Outer;
    };
    switch (id) {
      case 0:    // drop shadow
      case 2: {  // glow
        ShadowFilter f;
        f.glow = id == 2;
        f.color = r.ReadRgba();
        f.blurX = r.Fixed16();
        f.blurY = r.Fixed16();
        if (!f.glow) {
          f.angle = r.Fixed16();
          f.distance = r.Fixed16();
        } else {
          f.angle = f.distance = 0;
        }
        f.strength = r.Fixed8();
        const Flags b = flags(5);
        f.inner = b.inner;
        f.knockout = b.knockout;
        f.hideObject = !b.composite;
        f.passes = b.passes;
        filters.emplace_back(f);
        break;
      }
      case 1: {
        BlurFilter f;
        f.blurX = r.Fixed16();
        f.blurY = r.Fixed16();
        f.passes = static_cast<std::uint8_t>(r.U8() >> 3);
        filters.emplace_back(f);
        break;
      }
      case 3: {
        BevelFilter f;
        // The file gives the highlight first, whatever the format's own
        // field names suggest.
        f.highlight = r.ReadRgba();
        f.shadow = r.ReadRgba();
        f.blurX = r.Fixed16();
        f.blurY = r.Fixed16();
        f.angle = r.Fixed16();
        f.distance = r.Fixed16();
        f.strength = r.Fixed8();
        const Flags b = flags(4);
        f.type = type(b);
        f.knockout = b.knockout;
        f.passes = b.passes;
        filters.emplace_back(f);
        break;
      }
      case 4:    // gradient glow
      case 7: {  // gradient bevel
        GradientFilter f;
        f.bevel = id == 7;
        const std::uint8_t n = r.U8();
        context.Spend(n * sizeof(GradientStop));
        f.stops.resize(n);
        for (GradientStop& s : f.stops) s.color = r.ReadRgba();
        for (GradientStop& s : f.stops) s.ratio = r.U8();
        f.blurX = r.Fixed16();
        f.blurY = r.Fixed16();
        f.angle = r.Fixed16();
        f.distance = r.Fixed16();
        f.strength = r.Fixed8();
        const Flags b = flags(4);
        f.type = type(b);
        f.knockout = b.knockout;
        f.passes = b.passes;
        filters.emplace_back(std::move(f));
        break;
      }
      case 5: {
        ConvolutionFilter f;
        f.columns = r.U8();
        f.rows = r.U8();
        f.divisor = r.Float32();
        f.bias = r.Float32();
        const std::size_t n = std::size_t{f.columns} * f.rows;
        if (r.Remaining() < 4 * n) throw DamagedData("a convolution past its tag");
        context.Spend(n * sizeof(double));
        f.matrix.resize(n);
        for (double& k : f.matrix) k = r.Float32();
        f.color = r.ReadRgba();
        const std::uint8_t b = r.U8();
        f.clamp = b & 0x02;
        f.preserveAlpha = b & 0x01;
        filters.emplace_back(std::move(f));
        break;
      }
      case 6: {
        ColorMatrixFilter f;
        for (double& m : f.matrix) m = r.Float32();
        filters.emplace_back(f);
        break;
      }
    }
  }
  return filters;
}

PlaceObject ReadPlaceObject(BitReader& r, int placeVersion, ReadContext& context) {
  PlaceObject place;
  if (placeVersion == 1) {
    place.characterId = r.U16();
    place.depth = r.U16();
    place.matrix = r.ReadMatrix();
    if (!r.AtEnd()) place.colorTransform = r.ReadColorTransform(false);
    return place;
  }
  const std::uint8_t flags = r.U8();
  const std::uint8_t flags3 = placeVersion == 3 ? r.U8() : 0;
  place.depth = r.U16();
  place.move = flags & 0x01;
  if (flags3 & 0x08) place.className = context.Text(r.String());
  if (flags & 0x02) place.characterId = r.U16();
  if (flags & 0x04) place.matrix = r.ReadMatrix();
  if (flags & 0x08) place.colorTransform = r.ReadColorTransform(true);
  if (flags & 0x10) place.ratio = r.U16();
  if (flags & 0x20) place.name = context.Text(r.String());
  if (flags & 0x40) place.clipDepth = r.U16();
  if (flags3 & 0x01) place.filters = ReadFilterList(r, context);
  if (flags3 & 0x02) place.blendMode = BlendModeOfFile(r.U8());
  if (flags3 & 0x04) place.cacheAsBitmap = r.U8() != 0;
  if (flags3 & 0x20) place.visible = r.U8() != 0;
  if (flags3 & 0x40) place.opaqueBackground = r.ReadRgba();
  if (flags & 0x80) place.clipActions = ReadClipActions(r, context);
  return place;
}

}  // namespace dc::swf
