// clockpack's manifest reader on any text: the JSON, then the package it
// describes, from a folder holding a face picture, a movie and a sound.
// Every refusal is a ToolError of the tool's own words; nothing else may
// come out, and nothing may leak.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "tools/clockpack/manifest.h"
#include "tools/clockpack/picture.h"

namespace {

// A folder with the files a manifest may name: face.bmp (a 2 x 1 picture),
// face.swf and chime.wav.
std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "dc-manifest-fuzz";
    std::filesystem::create_directories(dir);
    const std::uint8_t rgba[] = {255, 0, 255, 255, 48, 32, 16, 255};
    const std::vector<std::uint8_t> bmp = clockpack::EncodeBmp24(rgba, 2, 1, 0x00FF00FF);
    clockpack::WriteFileBytes(dir / "face.bmp", bmp);
    clockpack::WriteFileBytes(dir / "face.swf", {'F', 'W', 'S', 9});
    clockpack::WriteFileBytes(dir / "chime.wav", {'R', 'I', 'F', 'F'});
    return dir;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const nlohmann::json manifest = clockpack::ParseManifest(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)clockpack::BuildPackage(manifest, Folder());
  } catch (const clockpack::ToolError&) {
  }
  return 0;
}
