// Button records up to their end mark, then the actions: DefineButton's one
// block (run on release), DefineButton2's blocks each with its conditions.
#include "swf/format/button_reader.h"

#include "swf/format/place_reader.h"

namespace dc::swf {

Button ReadDefineButton(BitReader& r, bool button2, ReadContext& context) {
  Button button;
  std::uint16_t actionOffset = 0;
  std::size_t offsetAt = 0;
  if (button2) {
    button.trackAsMenu = (r.U8() & 1) != 0;
    offsetAt = r.Position();
    actionOffset = r.U16();
  }
  for (;;) {
    const std::uint8_t flags = r.U8();
    if (flags == 0) break;
    ButtonRecord record;
    record.states = flags & 0x0F;
    record.characterId = r.U16();
    record.depth = r.U16();
    record.matrix = r.ReadMatrix();
    if (button2) {
      record.colorTransform = r.ReadColorTransform(true);
      if (flags & 0x10) record.filters = ReadFilterList(r, context);
      if (flags & 0x20) record.blendMode = BlendModeOfFile(r.U8());
    }
    context.Spend(sizeof(ButtonRecord));
    button.records.push_back(record);
  }
  if (!button2) {
    button.actions.push_back({kOverDownToOverUp, context.Actions(r.Rest())});
    return button;
  }
  if (actionOffset == 0) return button;
  // The offset counts from its own field; records that end elsewhere are
  // damaged, and the actions are then read from where the offset says.
  const std::size_t first = offsetAt + actionOffset;
  if (first < r.Position()) return button;
  r.Skip(first - r.Position());
  // Each record says how far the next one is; 0 marks the last.
  while (!r.AtEnd()) {
    const std::size_t start = r.Position();
    const std::uint16_t size = r.U16();
    const std::uint16_t conditions = r.U16();
    const std::size_t length = size == 0 ? r.Remaining() : (size < 4 ? 0 : size - 4u);
    if (length > r.Remaining()) break;
    ButtonAction action{static_cast<std::uint16_t>(conditions & 0x01FF), context.Actions(r.Bytes(length))};
    if (action.conditions) button.actions.push_back(std::move(action));
    if (size == 0 || r.Position() != start + size) break;
  }
  return button;
}

}  // namespace dc::swf
