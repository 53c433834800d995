// Describing a package: every field of its records, and its payloads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace clockpack {

// Throws ToolError for a file that is no clock package or is cut short.
nlohmann::ordered_json DescribePackage(const std::vector<std::uint8_t>& bytes);
std::string FormatDescription(const nlohmann::ordered_json& description);

// Copies the player and appends the 64-byte trailer naming the package
// (its file name only; the package lies beside the player).
void AttachPackage(const std::filesystem::path& player, const std::filesystem::path& package,
                   const std::filesystem::path& out);

}  // namespace clockpack
