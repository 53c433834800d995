// The release's parts with values that follow from their inputs alone:
// SHA-256 test vectors, the read-me's literal substitution, file names made
// of clock names, NSIS strings, the zip's CRC and layout; and a release
// without makensis, the same on both systems.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "base/file_io.h"

#include "release.h"
#include "sha256.h"
#include "test_support.h"
#include "zip_writer.h"

using dctest::Bytes;

namespace {
std::span<const std::uint8_t> BytesOf(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}
}  // namespace

TEST(ReleaseParts, Sha256MatchesThePublishedTestVectors) {
  struct Case {
    std::string message, digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: the length needs a second block
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(clockpack::Sha256Hex(BytesOf(c.message)), c.digest) << c.message.substr(0, 60);
}

TEST(ReleaseParts, TheReadmeTakesTheClockNameLiterally) {
  // "&" (the matched text in sed), "\", "/", "$" and a letter of Windows-1252.
  const std::string name = "Maple & Ember \\ Oak/Ash $1 Caf\xc3\xa9";
  const std::string out = clockpack::ReadmeText("@CLOCK@ @VERSION@\n@UNDERLINE@\n\nStart @EXE@; @CLOCK@.\n@OTHER@\n",
                                                name, "1.2", "@VERSION@.exe");
  // The underline has a "=" for each of the 35 characters of "<name> 1.2".
  EXPECT_EQ(out, "\xEF\xBB\xBF" + name + " 1.2\r\n" + std::string(35, '=') + "\r\n\r\nStart @VERSION@.exe; " + name +
                     ".\r\n@OTHER@\r\n");
}

TEST(ReleaseParts, FileNamesOfClockNamesSayWhatWasReplaced) {
  struct Case {
    std::string clock, file, replaced;
  } cases[] = {
      {"Maple & Ember", "Maple & Ember", ""},
      {"Oak/Ash \\ 12:00?", "Oak_Ash _ 12_00_", "/\\:?"},
      {"Caf\xc3\xa9 $5", "Caf\xc3\xa9 $5", ""},
      {"con", "_con", ""},
      {"Tick...", "Tick", ""},
      {"a\"b<c>d|e*f/g", "a_b_c_d_e_f_g", "\"<>|*/"},
  };
  for (const Case& c : cases) {
    const clockpack::SafeName safe = clockpack::FileNameOf(c.clock);
    EXPECT_EQ(safe.name, c.file) << c.clock;
    EXPECT_EQ(safe.replaced, c.replaced) << c.clock;
  }
}

TEST(ReleaseParts, NsisStringsKeepEveryCharacter) {
  struct Case {
    std::string text, quoted;
  } cases[] = {
      {"Maple & Ember", "\"Maple & Ember\""},
      {"$INSTDIR", "\"$$INSTDIR\""},
      {"say \"hi\"", "\"say $\\\"hi$\\\"\""},
      {"a\\b/c", "\"a\\b/c\""},
      {"two\r\nlines\t", "\"two$\\r$\\nlines$\\t\""},
  };
  for (const Case& c : cases) EXPECT_EQ(clockpack::NsisQuoted(c.text), c.quoted) << c.text;
}

TEST(ReleaseParts, AZipEntryCarriesItsCrcSizesTimeAndName) {
  // 2026-03-01 07:30:58 UTC: DOS time 07:30:58 (0x3BDD), date 2026-03-01 (0x5C61).
  clockpack::ZipWriter zip(1772350258);
  zip.AddFile("d/123456789", BytesOf("123456789"));  // too short to shrink: stored
  const Bytes out = zip.Finish();
  const Bytes local = {'P', 'K', 3, 4, 20, 0, 0, 0, 0, 0,  // version 2.0, no flags, stored
                       0xDD, 0x3B, 0x61, 0x5C,            // time, date
                       0x26, 0x39, 0xF4, 0xCB,            // CRC-32 of "123456789": 0xCBF43926
                       9, 0, 0, 0, 9, 0, 0, 0, 11, 0, 0, 0};
  ASSERT_GE(out.size(), local.size() + 20);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(local.size())), local);
  EXPECT_EQ(std::string(out.begin() + 30, out.begin() + 50), "d/123456789123456789");
  // The end record: one entry, the directory right after the entry.
  const Bytes end(out.end() - 22, out.end());
  EXPECT_EQ(end, (Bytes{'P', 'K', 5, 6, 0, 0, 0, 0, 1, 0, 1, 0, 57, 0, 0, 0, 50, 0, 0, 0, 0, 0}));
}

namespace {

// PATH for this process: where no makensis lies.
void SetPath(const std::string& value) {
#ifdef _WIN32
  _putenv_s("PATH", value.c_str());
#else
  setenv("PATH", value.c_str(), 1);
#endif
}

}  // namespace

TEST(Release, WithoutMakensisItWritesTheZipItsSumAndSaysHowToGetMakensis) {
  dctest::TempDir dir;
  std::filesystem::create_directories(dir / "kit" / "installer");
  dctest::WriteBytes(dir / "kit" / "DeskClock.exe", Bytes{'M', 'Z', 1, 2, 3});
  dctest::WriteBytes(dir / "kit" / "installer" / "README.txt.in", Bytes{'@', 'C', 'L', 'O', 'C', 'K', '@', '\n'});
  dctest::WriteBytes(dir / "face.png", dctest::ReadBytes(std::filesystem::path(DC_SOURCE_DIR) / "assets/demo/face.png"));
  const std::string manifest = R"({"clock": {"name": "Oak/Ash & Co"}, "face": {"picture": "face.png"},
                                   "led": {"left": 8, "top": 8, "wordWidth": 11, "wordHeight": 17, "thick": 2},
                                   "alert": {"position": "top-left"}})";
  dctest::WriteBytes(dir / "oak.json", Bytes(manifest.begin(), manifest.end()));
  const char* oldPath = std::getenv("PATH");
  const std::string savedPath = oldPath ? oldPath : "";
  SetPath(dc::PathToUtf8(dir.path()));

  std::ostringstream strictReport;
  const std::string strictError = dctest::ErrorOf(
      [&] { clockpack::Release({dir / "oak.json", dir / "strict", dir / "kit", true}, strictReport); });
  std::ostringstream report;
  clockpack::Release({dir / "oak.json", dir / "out", dir / "kit", false}, report);
  SetPath(savedPath);

  EXPECT_EQ(strictError, "1 warning with --strict: nothing was written");
  EXPECT_FALSE(std::filesystem::exists(dir / "strict" / "SHA256SUMS"));
  const std::string text = report.str();
  for (const char* said : {"clockpack: warning: clock.version: not given; the release is named 1.0.",
                           "the clock's file names are \"Oak_Ash & Co\": file names cannot hold \"/\"",
                           "apt-get install nsis"})
    EXPECT_NE(text.find(said), std::string::npos) << said << " in\n" << text;
  const Bytes zip = dctest::ReadBytes(dir / "out" / "Oak_Ash & Co-1.0-portable.zip");
  ASSERT_GT(zip.size(), 4u);
  EXPECT_EQ(Bytes(zip.begin(), zip.begin() + 4), (Bytes{'P', 'K', 3, 4}));
  const Bytes sums = dctest::ReadBytes(dir / "out" / "SHA256SUMS");
  EXPECT_EQ(std::string(sums.begin(), sums.end()), clockpack::Sha256Hex(zip) + "  Oak_Ash & Co-1.0-portable.zip\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "out" / "Oak_Ash & Co-1.0-setup.exe"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "out"), {}), 2) << "the stage folder is gone";
}
