// Button records up to their end mark.
#include "swf/format/button_reader.h"

#include "swf/format/place_reader.h"

namespace dc::swf {

Button ReadDefineButton(BitReader& r, bool button2, ReadContext& context) {
  Button button;
  if (button2) {
    (void)r.U8();   // tracked as a menu
    (void)r.U16();  // where the actions start
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
  return button;
}

}  // namespace dc::swf
