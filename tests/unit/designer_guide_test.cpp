// The designer's guide cannot go stale: every manifest in it builds, its
// worked LED example shows exactly the picture the guide prints, and its
// table of that example at other scales is the core's.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "layout/led_setup.h"
#include "led/led_metrics.h"
#include "led/led_model.h"
#include "manifest.h"
#include "package/clock_package.h"
#include "test_support.h"

namespace {

struct Block {
  std::string info;  // what follows the opening ```
  std::string text;
};

std::vector<Block> FencedBlocks(const std::string& markdown) {
  std::vector<Block> blocks;
  std::istringstream in(markdown);
  std::string line;
  Block* open = nullptr;
  while (std::getline(in, line)) {
    if (line.rfind("```", 0) == 0) {
      if (open) {
        open = nullptr;
      } else {
        blocks.push_back({line.substr(3), ""});
        open = &blocks.back();
      }
    } else if (open) {
      open->text += line + "\n";
    }
  }
  return blocks;
}

std::string Guide() {
  std::ifstream in(std::filesystem::path(DC_SOURCE_DIR) / "docs" / "designing-a-clock.md");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A folder with the demo's picture and sound, as a designer's would hold.
void DesignerFolder(const dctest::TempDir& dir) {
  for (const char* f : {"face.png", "chime.wav"})
    std::filesystem::copy_file(std::filesystem::path(DC_SOURCE_DIR) / "assets" / "demo" / f, dir / f);
}

}  // namespace

TEST(DesignersGuide, EveryManifestInItBuildsWithoutAWarning) {
  dctest::TempDir dir;
  DesignerFolder(dir);
  int built = 0;
  for (const Block& b : FencedBlocks(Guide())) {
    if (b.info.rfind("json", 0) != 0) continue;
    try {
      const clockpack::BuiltClock clock = clockpack::BuildClock(clockpack::ParseManifest(b.text), dir.path());
      for (const std::string& w : clock.warnings) ADD_FAILURE() << w << " in\n" << b.text;
      const std::vector<std::uint8_t>& package = clock.package;
      dc::ClockPackage read;
      read.LoadFromBytes(package);
      EXPECT_EQ(dc::FindPackageDamage(read), "") << b.text;
      ++built;
    } catch (const clockpack::ToolError& e) {
      ADD_FAILURE() << e.what() << " in\n" << b.text;
    }
  }
  EXPECT_GE(built, 3) << "the guide's manifests were found";
}

TEST(DesignersGuide, TheWorkedLedExampleShowsThePicturePrinted) {
  const std::vector<Block> blocks = FencedBlocks(Guide());
  const Block* manifest = nullptr;
  const Block* picture = nullptr;
  for (const Block& b : blocks) {
    if (b.info == "json led-example") manifest = &b;
    if (b.info.rfind("text led-picture ", 0) == 0) picture = &b;
  }
  ASSERT_TRUE(manifest && picture);
  dctest::TempDir dir;
  DesignerFolder(dir);
  dc::ClockPackage package;
  package.LoadFromBytes(clockpack::BuildPackage(clockpack::ParseManifest(manifest->text), dir.path()));
  // The digits as the clock sets them up: its design, then the package.
  const dc::DisplaySettings d = package.Display();
  dc::led::LedModel led;
  dc::ApplyLedDesign(led);
  dc::ApplyLedSettings(led, d);
  led.SetText(picture->info.substr(std::string("text led-picture ").size()));
  const int w = led.TextWidth(), h = 2 * led.MarginY() + led.CellHeight();
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
  dc::PixelTarget target{pixels.data(), w, h, w};
  led.Render(target);
  std::string drawn;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) drawn += target.At(x, y) == dc::ColourToPixel(d.LedLightColor) ? '#' : '.';
    drawn += '\n';
  }
  EXPECT_EQ(drawn, picture->text);
}

TEST(DesignersGuide, TheWorkedExampleAtOtherScalesIsTheCoresScaling) {
  const std::string guide = Guide();
  const dc::led::LedMetrics at100{11, 17, 2, 2, 1, 1};  // the worked example's digits
  for (int percent : {100, 125, 150, 200}) {
    const std::string start = "| " + std::to_string(percent) + " % |";
    const std::size_t at = guide.find(start);
    ASSERT_NE(at, std::string::npos) << start;
    std::istringstream row(guide.substr(at + start.size(), guide.find('\n', at) - at - start.size()));
    int width = 0, height = 0, thick = 0, space = 0, offset = 0;
    char bar = 0;
    row >> width >> bar >> height >> bar >> thick >> bar >> space >> bar >> offset;
    const dc::led::LedMetrics scaled = dc::led::ScaleLedMetrics(at100, percent * 96 / 100);
    EXPECT_EQ((dc::led::LedMetrics{width, height, thick, space, offset, offset}), scaled) << start;
  }
}
