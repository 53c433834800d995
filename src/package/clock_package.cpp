// ClockPackage: the package reader.
#include "package/clock_package.h"

#include <bit>
#include <cstring>

#include "base/ansi_text.h"
#include "base/file_io.h"
#include "base/fixed_text.h"

namespace dc {

static_assert(std::endian::native == std::endian::little,
              "the package records are read as they lie in the file");

ClockPackage::ClockPackage() {
  std::memset(&header_, 0, sizeof header_);
  std::memset(&display_, 0, sizeof display_);
  std::memset(&popup_, 0, sizeof popup_);
}

void ClockPackage::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  auto take = [&](void* into, std::size_t offset, std::size_t n, const char* what) {
    if (bytes.size() < offset + n) throw PackageError(std::string("the file ends inside its ") + what);
    std::memcpy(into, bytes.data() + offset, n);
  };
  take(&header_, kHeaderOffset, sizeof header_, "header");
  if (!HasMagic()) return;
  take(&display_, kDisplayOffset, sizeof display_, "display settings");
  take(&popup_, kPopupOffset, sizeof popup_, "popup settings");
  const std::uint64_t need = kPayloadOffset + std::uint64_t{display_.FaceLength} + popup_.SoundLength;
  if (bytes.size() < need) {
    throw PackageError("the file holds " + std::to_string(bytes.size()) + " bytes but its face and sound need " +
                       std::to_string(need));
  }
  const auto face = bytes.subspan(kPayloadOffset, display_.FaceLength);
  const auto sound = bytes.subspan(kPayloadOffset + display_.FaceLength, popup_.SoundLength);
  face_.assign(face.begin(), face.end());
  sound_.assign(sound.begin(), sound.end());
}

void ClockPackage::Load(const std::filesystem::path& path) {
  if (!FileExists(path)) return;
  InputFile file(path);
  const std::uint64_t size = file.Size();
  if (size > kMaxBytes) {
    throw PackageError("it is " + std::to_string(size) + " bytes, more than a clock package may be (" +
                       std::to_string(kMaxBytes) + ")");
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  bytes.resize(file.Read(bytes.data(), bytes.size()));
  LoadFromBytes(bytes);
}

bool ClockPackage::HasMagic() const { return ReadFixedText(header_.Magic) == "KVX"; }

bool IsFlashFaceType(const DisplaySettings& display) {
  std::string type = ReadFixedText(display.FaceType);
  for (char& c : type) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return type == ".swf";
}

bool ClockPackage::IsFlashFace() const { return IsFlashFaceType(display_); }

std::filesystem::path ClockPackage::SaveFaceMovie(const std::filesystem::path& folder) const {
  if (face_.empty()) return {};
  std::filesystem::path out = folder.native() + std::filesystem::path("tmp.swf").native();
  WriteWholeFile(out, face_);
  return out;
}

std::filesystem::path ClockPackage::SaveSound(const std::filesystem::path& folder,
                                              std::span<const std::string> ownFiles) const {
  if (sound_.empty()) return {};
  std::string name = AnsiToUtf8(ReadFixedText(popup_.SoundName));
  std::string why = CheckSoundFileName(name, ownFiles);
  if (!why.empty()) {
    throw UserError("The clock's sound file name \"" + name + "\" is refused: " + why +
                    ". The clock runs without sound.");
  }
  std::filesystem::path out = folder.native() + PathFromUtf8(name).native();
  WriteWholeFile(out, sound_);
  return out;
}

}  // namespace dc
