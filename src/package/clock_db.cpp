// TClockDB: the package reader.
#include "package/clock_db.h"

#include <bit>
#include <cstring>

#include "base/ansi_text.h"
#include "base/fixed_text.h"

namespace dc {

static_assert(std::endian::native == std::endian::little,
              "the package records are read as they lie in the file");

TClockDB::TClockDB() {
  std::memset(&header_, 0, sizeof header_);
  std::memset(&display_, 0, sizeof display_);
  std::memset(&alert_, 0, sizeof alert_);
}

namespace {

void ReadExactly(InputFile& file, void* into, std::size_t n, const char* what) {
  if (file.Read(into, n) != n) throw PackageError(std::string("the file ends inside its ") + what);
}

}  // namespace

void TClockDB::Load(const std::filesystem::path& path) {
  if (!FileExists(path)) return;
  InputFile file(path);
  ReadExactly(file, &header_, sizeof header_, "header");
  if (!HasMagic()) return;
  ReadExactly(file, &display_, sizeof display_, "display settings");
  ReadExactly(file, &alert_, sizeof alert_, "alert settings");
  const std::uint64_t need = kPayloadOffset + std::uint64_t{display_.FaceLength} + alert_.SoundLength;
  const std::uint64_t size = file.Size();
  if (size < need) {
    throw PackageError("the file holds " + std::to_string(size) + " bytes but its face and sound need " +
                       std::to_string(need));
  }
  face_.resize(display_.FaceLength);
  ReadExactly(file, face_.data(), face_.size(), "face data");
  sound_.resize(alert_.SoundLength);
  ReadExactly(file, sound_.data(), sound_.size(), "sound data");
}

bool TClockDB::HasMagic() const { return ReadFixedText(header_.Magic) == "KVX"; }

bool IsFlashFaceType(const TDisplaySettings& display) {
  std::string type = ReadFixedText(display.FaceType);
  for (char& c : type) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return type == ".swf";
}

bool TClockDB::IsFlashFace() const { return IsFlashFaceType(display_); }

std::filesystem::path TClockDB::SaveFaceMovie(const std::filesystem::path& folder) const {
  if (face_.empty()) return {};
  std::filesystem::path out = folder.native() + std::filesystem::path("tmp.swf").native();
  WriteWholeFile(out, face_);
  return out;
}

std::filesystem::path TClockDB::SaveSound(const std::filesystem::path& folder,
                                          std::span<const std::string> ownFiles) const {
  if (sound_.empty()) return {};
  std::string name = AnsiToUtf8(ReadFixedText(alert_.SoundName));
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
