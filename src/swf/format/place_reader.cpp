// Placements: the optional fields in the order the flags give them, and
// clip actions with their events mapped to ours.
#include "swf/format/place_reader.h"

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
  (void)ReadRawEventFlags(r, context.version);  // all the records' events together
  std::vector<ClipAction> actions;
  for (;;) {
    const std::uint32_t raw = ReadRawEventFlags(r, context.version);
    if (raw == 0) break;
    auto body = r.Bytes(r.U32());
    ClipAction action;
    action.events = ClipEventsOf(raw);
    if (action.events == 0) continue;  // reserved events only: never runs
    if (action.events & kEventKeyPress) {
      if (body.empty()) throw DamagedData("a key press event without its key");
      action.keyCode = body[0];
      body = body.subspan(1);
    }
    context.Spend(sizeof(ClipAction));
    action.actions = context.Actions(body);
    actions.push_back(std::move(action));
  }
  return actions;
}

}  // namespace

void SkipFilterList(BitReader& r) {
  const std::uint8_t count = r.U8();
  for (std::uint8_t i = 0; i < count; ++i) {
    switch (const std::uint8_t id = r.U8()) {
      case 0:
        r.Skip(23);
        break;  // drop shadow
      case 1:
        r.Skip(9);
        break;  // blur
      case 2:
        r.Skip(15);
        break;  // glow
      case 3:
        r.Skip(27);
        break;  // bevel
      case 4:   // gradient glow
      case 7:   // gradient bevel
        r.Skip(std::size_t{r.U8()} * 5 + 19);
        break;
      case 5: {  // convolution
        const std::size_t x = r.U8(), y = r.U8();
        r.Skip(8 + 4 * x * y + 5);
        break;
      }
      case 6:
        r.Skip(80);
        break;  // colour matrix
      default:
        throw DamagedData("a filter of unknown kind " + std::to_string(id));
    }
  }
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
  if (flags3 & 0x01) SkipFilterList(r);
  if (flags3 & 0x02) (void)r.U8();  // blend mode
  if (flags3 & 0x04) (void)r.U8();  // bitmap caching
  if (flags3 & 0x20) place.visible = r.U8() != 0;
  if (flags3 & 0x40) (void)r.ReadRgba();  // opaque background
  if (flags & 0x80) place.clipActions = ReadClipActions(r, context);
  return place;
}

}  // namespace dc::swf
