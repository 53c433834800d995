// The LED model as a public API: any int values for its setters, any text,
// then a render pass on a surface of any size up to 256 x 256. Refused
// values throw LedValueError; nothing may crash, overflow or run long
// (scripts/fuzz.sh bounds each input's time).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "led/led_model.h"

namespace {

struct Input {
  const std::uint8_t* data;
  std::size_t size;
  template <class T>
  T Take() {
    T v{};
    const std::size_t n = size < sizeof v ? size : sizeof v;
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in{data, size};
  dc::led::LedModel m;
  const int steps = in.Take<std::uint8_t>() % 16;
  for (int i = 0; i < steps; ++i) {
    const std::uint8_t which = in.Take<std::uint8_t>();
    const std::int32_t v = in.Take<std::int32_t>();
    try {
      switch (which % 9) {
        case 0: m.SetMarginX(v); break;
        case 1: m.SetMarginY(v); break;
        case 2: m.SetGap(v); break;
        case 3: m.SetCellWidth(v); break;
        case 4: m.SetCellHeight(v); break;
        case 5: m.SetThickness(v); break;
        case 6: m.SetLitColour(static_cast<std::uint32_t>(v)); break;
        case 7: m.SetUnlitColour(static_cast<std::uint32_t>(v)); break;
        case 8: m.SetAutoSize(v & 1); break;
      }
    } catch (const dc::led::LedValueError&) {
    }
  }
  const int width = 1 + in.Take<std::uint8_t>(), height = 1 + in.Take<std::uint8_t>();
  try {
    m.SetText(std::string(reinterpret_cast<const char*>(in.data), in.size));
  } catch (const dc::led::LedValueError&) {
  }
  m.size = {width, height};
  (void)m.TextWidth();
  (void)m.SizeAfterPass();
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  dc::PixelTarget target{pixels.data(), width, height, width};
  m.Render(target);
  return 0;
}
