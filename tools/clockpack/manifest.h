// Building a clock package from a JSON manifest and its picture and sound.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace clockpack {

class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The manifest's JSON. Every error of the JSON library becomes a ToolError
// of the tool's own words, with the line and column where it can be told.
nlohmann::json ParseManifest(std::string_view text);

// A built clock: its package, and what the manifest says beyond it.
struct BuiltClock {
  std::vector<std::uint8_t> package;
  // The mistakes the player would pass over, each a whole message naming
  // its field, what the player will do and how to fix it.
  std::vector<std::string> warnings;
  std::string name;     // clock.name, UTF-8
  std::string version;  // clock.version, empty when not given
  std::vector<std::filesystem::path> inputs;  // the manifest's files that were read
};

// The clock of a manifest. Relative file names in the manifest are taken
// from `baseDir`. Throws ToolError naming the manifest field at fault.
BuiltClock BuildClock(const nlohmann::json& manifest, const std::filesystem::path& baseDir);
// The package file alone.
std::vector<std::uint8_t> BuildPackage(const nlohmann::json& manifest, const std::filesystem::path& baseDir);

// The whole file, at most a clock package's limit (256 MB). Throws ToolError
// "cannot read "<path>": <why>".
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& p);
// The file a manifest field names: ReadFileBytes' error prefixed with the
// field, and for a file that is not there, the nearest name in its folder.
std::vector<std::uint8_t> ReadFieldFile(const std::string& field, const std::filesystem::path& p);
void WriteFileBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes);

// "#RRGGBB" -> 0x00BBGGRR; a number is taken as the raw colour value.
std::uint32_t ParseColour(const nlohmann::json& v, const std::string& where);
std::string FormatColour(std::uint32_t colour);

}  // namespace clockpack
