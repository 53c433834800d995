// The release's steps: build the clock, attach it to the kit's player, zip
// it, make the installer with makensis from a stage folder, and sum what
// was written.
#include "release.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>

#include "package/own_files.h"
#include "base/ansi_text.h"
#include "base/file_io.h"
#include "describe.h"
#include "host_process.h"
#include "manifest.h"
#include "sha256.h"
#include "zip_writer.h"

namespace clockpack {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPlayer = "DeskClock.exe";
constexpr const char* kDefaultVersion = "1.0";

std::size_t Utf8Length(const std::string& s) {
  std::size_t n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
}

// Windows' version resource wants four numbers.
std::string FourPartVersion(const std::string& v) {
  std::string out = v;
  for (auto dots = std::count(v.begin(), v.end(), '.'); dots < 3; ++dots) out += ".0";
  return out;
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }
std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The newest of the files a clock is made of: the same files give the same
// zip, byte for byte.
std::time_t NewestTime(const std::vector<fs::path>& files) {
  std::time_t newest = 0;
  for (const fs::path& f : files) {
    std::error_code ec;
    const fs::file_time_type t = fs::last_write_time(f, ec);
    if (ec) continue;
    const auto sys = std::chrono::file_clock::to_sys(t);
    newest = std::max(newest, std::chrono::system_clock::to_time_t(
                                  std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys)));
  }
  return newest;
}

// The defines the installer script reads, then the script itself.
std::string InstallerScript(const std::string& script, const std::string& clockName, const SafeName& file,
                            const std::string& version, const std::string& publisher, const std::string& exe,
                            const std::string& package) {
  std::string uiName = clockName;
  ReplaceAll(uiName, "&", "&&");  // a single "&" marks an access key in dialogs
  std::string out = "; Made by clockpack release.\n";
  auto define = [&](const char* key, const std::string& value) {
    out += std::string("!define ") + key + " " + NsisQuoted(value) + "\n";
  };
  define("CLOCK_NAME", clockName);
  define("CLOCK_NAME_UI", uiName);
  define("FILE_NAME", file.name);
  define("VERSION", version);
  define("VI_VERSION", FourPartVersion(version));
  define("PUBLISHER", publisher);
  define("EXE", exe);
  define("PACKAGE", package);
  return out + script;
}

void WriteChecked(const fs::path& p, std::span<const std::uint8_t> bytes) {
  try {
    dc::WriteWholeFile(p, bytes);
  } catch (const dc::FileError& e) {
    throw ToolError(e.what());
  }
}

}  // namespace

SafeName FileNameOf(const std::string& clockName) {
  SafeName safe{dc::FolderNameOf(clockName), {}};
  for (char c : clockName) {
    const bool control = static_cast<unsigned char>(c) < 0x20;
    if ((control || std::strchr("<>:\"/\\|?*", c)) && safe.replaced.find(c) == std::string::npos) safe.replaced += c;
  }
  return safe;
}

std::string ReadmeText(const std::string& templ, const std::string& clockName, const std::string& version,
                       const std::string& exe) {
  std::string text = templ;
  ReplaceAll(text, "\r\n", "\n");
  ReplaceAll(text, "@UNDERLINE@", std::string(Utf8Length(clockName + " " + version), '='));
  // One pass over the template, so a value holding "@EXE@" stays as it is.
  std::string out = "\xEF\xBB\xBF";
  for (std::size_t at = 0; at < text.size();) {
    bool replaced = false;
    for (const auto& [key, value] : {std::pair<const char*, const std::string*>{"@CLOCK@", &clockName},
                                     {"@VERSION@", &version}, {"@EXE@", &exe}}) {
      if (text.compare(at, std::strlen(key), key) == 0) {
        out += *value;
        at += std::strlen(key);
        replaced = true;
        break;
      }
    }
    if (replaced) continue;
    if (text[at] == '\n') out += '\r';
    out += text[at++];
  }
  return out;
}

std::string NsisQuoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '$': out += "$$"; break;
      case '"': out += "$\\\""; break;
      case '\n': out += "$\\n"; break;
      case '\r': out += "$\\r"; break;
      case '\t': out += "$\\t"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

void Release(const ReleaseOptions& options, std::ostream& report) {
  const fs::path kit = options.kit.empty() ? OwnExecutablePath().parent_path() : options.kit;
  const fs::path player = kit / kPlayer, installer = kit / "installer";
  if (!fs::is_regular_file(player)) {
    throw ToolError("the player \"" + dc::PathToUtf8(player) + "\" is missing: run the designer kit's own clockpack, " +
                    "in the folder unzipped whole, or name the kit's folder with --kit");
  }

  const std::vector<std::uint8_t> text = ReadFileBytes(options.manifest);
  BuiltClock clock = BuildClock(ParseManifest(Text(text)), options.manifest.parent_path());
  clock.inputs.push_back(options.manifest);
  if (clock.version.empty()) {
    clock.version = kDefaultVersion;
    clock.warnings.push_back(std::string("clock.version: not given; the release is named ") + kDefaultVersion +
                             ". Give the clock's version, as \"version\": \"1.0\", and raise it with each release.");
  }
  for (const std::string& w : clock.warnings) report << "clockpack: warning: " << w << "\n";
  if (options.strict && !clock.warnings.empty()) {
    throw ToolError(std::to_string(clock.warnings.size()) + " warning" + (clock.warnings.size() == 1 ? "" : "s") +
                    " with --strict: nothing was written");
  }

  const SafeName file = FileNameOf(clock.name);
  if (!file.replaced.empty()) {
    report << "clockpack: the clock's file names are \"" << file.name << "\": file names cannot hold \""
           << file.replaced << "\"\n";
  }
  const std::string stem = file.name + "-" + clock.version;
  const std::string exe = file.name + ".exe";
  const std::string package = dc::PathToUtf8(options.manifest.stem()) + ".kvx";
  const std::string author = DescribePackage(clock.package)["clock"]["author"];
  const std::string readme =
      ReadmeText(Text(ReadFileBytes(installer / "README.txt.in")), clock.name, clock.version, exe);

  std::error_code ec;
  fs::create_directories(options.out, ec);
  if (ec) throw ToolError("cannot make the folder \"" + dc::PathToUtf8(options.out) + "\": " + ec.message());
  const fs::path stage = options.out / ".clockpack-stage";
  fs::remove_all(stage, ec);
  if (!fs::create_directory(stage, ec)) {
    throw ToolError("cannot make the folder \"" + dc::PathToUtf8(stage) + "\": " + ec.message());
  }
  struct RemoveStage {
    fs::path p;
    ~RemoveStage() {
      std::error_code ignored;
      fs::remove_all(p, ignored);
    }
  } removeStage{stage};

  // The clock program: the kit's player with the trailer naming the package.
  WriteChecked(stage / package, clock.package);
  AttachPackage(player, stage / package, stage / "clock.exe");
  const std::vector<std::uint8_t> program = ReadFileBytes(stage / "clock.exe");

  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> written;
  ZipWriter zip(NewestTime(clock.inputs));
  zip.AddFolder(stem + "/");
  zip.AddFile(stem + "/" + exe, program);
  zip.AddFile(stem + "/" + package, clock.package);
  zip.AddFile(stem + "/README.txt", Bytes(readme));
  written.emplace_back(stem + "-portable.zip", zip.Finish());
  WriteChecked(options.out / dc::PathFromUtf8(written.back().first), written.back().second);

  if (std::optional<fs::path> makensis = FindProgram("makensis")) {
    WriteChecked(stage / "README.txt", Bytes(readme));
    WriteChecked(stage / "clock.kvx", clock.package);
    fs::copy_file(installer / "DeskClock.ico", stage / "clock.ico", ec);
    if (ec) throw ToolError("cannot copy the kit's installer/DeskClock.ico: " + ec.message());
    const std::string script = InstallerScript(Text(ReadFileBytes(installer / "deskclock.nsi")), clock.name, file,
                                               clock.version, author.empty() ? clock.name : author, exe, package);
    WriteChecked(stage / "clock.nsi", Bytes(script));
    // Every path makensis sees is a plain ASCII name in the stage folder: it
    // cannot read others in a C locale.
    const int code = RunProgram(*makensis, {"-V2", "-INPUTCHARSET", "UTF8", "clock.nsi"}, stage);
    if (code != 0) throw ToolError("makensis failed (exit code " + std::to_string(code) + "): no installer was made");
    written.emplace_back(stem + "-setup.exe", ReadFileBytes(stage / "setup.out"));
    WriteChecked(options.out / dc::PathFromUtf8(written.back().first), written.back().second);
  } else {
    report << "clockpack: no installer: makensis (NSIS) is not on the PATH. On Debian or Ubuntu: "
              "apt-get install nsis; on Windows: install NSIS 3 from https://nsis.sourceforge.io. "
              "The portable zip is made without it.\n";
  }

  std::string sums;
  for (const auto& [name, bytes] : written) sums += Sha256Hex(bytes) + "  " + name + "\n";
  WriteChecked(options.out / "SHA256SUMS", Bytes(sums));
  report << "release: \"" << clock.name << "\" " << clock.version << " in " << dc::PathToUtf8(options.out) << "\n";
  for (const auto& [name, bytes] : written) report << "  " << name << " (" << bytes.size() << " bytes)\n";
  report << "  SHA256SUMS\n";
}

}  // namespace clockpack
