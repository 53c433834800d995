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

// The whole package file. Relative file names in the manifest are taken from
// `baseDir`. Throws ToolError naming the manifest field at fault.
std::vector<std::uint8_t> BuildPackage(const nlohmann::json& manifest, const std::filesystem::path& baseDir);

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& p);
void WriteFileBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes);

// "#RRGGBB" -> 0x00BBGGRR; a number is taken as the raw colour value.
std::uint32_t ParseColour(const nlohmann::json& v, const std::string& where);
std::string FormatColour(std::uint32_t colour);

}  // namespace clockpack
