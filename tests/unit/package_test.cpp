// The clock package: reading it byte for byte, its payloads, the damage
// checks and the trailer.
#include <gtest/gtest.h>

#include <cstring>

#include "base/file_io.h"
#include "base/fixed_text.h"
#include "package/clock_package.h"
#include "package_builder.h"
#include "test_support.h"

using namespace dc;
using dctest::Bytes;
using dctest::TempDir;

namespace {

std::vector<std::string> Own() { return {"DeskClock.exe", "clock.kvx", "Alarm.sav", "Alarm.sav.tmp", "tmp.swf"}; }

}  // namespace

TEST(ClockPackage, LoadReadsEveryRecordAndBothPayloadsExactly) {
  TempDir dir;
  dctest::PackageParts p = dctest::DemoParts();
  p.face = {'B', 'M', 1, 2, 3};
  p.sound = {'R', 'I', 'F', 'F', 9};
  Bytes file = p.Bytes();
  file.insert(file.end(), {0xAA, 0xBB});  // ignored tail
  dctest::WriteBytes(dir / "c.kvx", file);

  ClockPackage db;
  db.Load(dir / "c.kvx");
  EXPECT_TRUE(db.HasMagic());
  EXPECT_EQ(std::memcmp(&db.Header(), file.data(), 230), 0);
  EXPECT_EQ(std::memcmp(&db.Display(), file.data() + 230, 68), 0);
  EXPECT_EQ(std::memcmp(&db.Popup(), file.data() + 298, 396), 0);
  EXPECT_EQ(db.FaceData(), p.face);
  EXPECT_EQ(db.SoundData(), p.sound);
  EXPECT_EQ(ReadFixedText(db.Header().ClockName), "Test Clock");
  EXPECT_EQ(+db.Display().CellWidth, 17);
  EXPECT_EQ(+db.Popup().Width, 329);
}

TEST(ClockPackage, MissingFileLeavesTheReaderAsCreated) {
  TempDir dir;
  ClockPackage db;
  db.Load(dir / "none.kvx");
  EXPECT_FALSE(db.HasMagic());
  EXPECT_TRUE(db.FaceData().empty());
  EXPECT_EQ(+db.Display().FaceLength, 0u);
}

TEST(ClockPackage, MagicRules) {
  struct Case {
    Bytes magic;
    bool accepted;
  } cases[] = {
      {{'K', 'V', 'X', 0, 0}, true},
      {{'K', 'V', 'X', 0, 0xFF}, true},  // offset 4 is not examined
      {{'K', 'V', 'X', '1', 0}, false},
      {{'K', 'V', 'x', 0, 0}, false},
      {{0, 0, 0, 0, 0}, false},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dctest::PackageParts p = dctest::DemoParts();
    p.sound = {1, 2, 3};
    Bytes file = p.Bytes();
    std::copy(c.magic.begin(), c.magic.end(), file.begin());
    dctest::WriteBytes(dir / "c.kvx", file);
    ClockPackage db;
    db.Load(dir / "c.kvx");
    SCOPED_TRACE(testing::PrintToString(c.magic));
    EXPECT_EQ(db.HasMagic(), c.accepted);
    // A rejected file keeps only its header bytes.
    EXPECT_EQ(+db.Display().CellWidth, c.accepted ? 17 : 0);
    EXPECT_EQ(db.SoundData().size(), c.accepted ? 3u : 0u);
    EXPECT_EQ(std::memcmp(&db.Header(), file.data(), 230), 0);
    EXPECT_EQ(FindPackageDamage(db).empty(), c.accepted);
  }
}

TEST(ClockPackage, ShortFilesAreDamagedWithoutAllocatingTheDeclaredLengths) {
  TempDir dir;
  dctest::PackageParts p = dctest::DemoParts();
  p.face = Bytes(100, 7);
  p.sound = Bytes(50, 9);
  Bytes full = p.Bytes();
  struct Case {
    std::size_t cut;
    std::uint32_t faceLength;
  } cases[] = {{100, 100}, {500, 100}, {full.size() - 1, 100}, {full.size(), 0xFFFFFFFF}};
  for (const Case& c : cases) {
    Bytes file(full.begin(), full.begin() + static_cast<long>(c.cut));
    if (file.size() >= 238) std::memcpy(file.data() + 234, &c.faceLength, 4);
    dctest::WriteBytes(dir / "c.kvx", file);
    ClockPackage db;
    SCOPED_TRACE(c.cut);
    EXPECT_THROW(db.Load(dir / "c.kvx"), PackageError);
    EXPECT_TRUE(db.FaceData().empty());
  }
  dctest::WriteBytes(dir / "c.kvx", full);
  ClockPackage ok;
  EXPECT_NO_THROW(ok.Load(dir / "c.kvx"));
}

TEST(ClockPackage, GeometryNoScreenCanHoldIsDamage) {
  struct Case {
    const char* name;
    void (*change)(dctest::PackageParts&);
    bool damaged;
  } cases[] = {
      {"face width 16384", [](dctest::PackageParts& p) { p.display.FaceWidth = 16384; }, false},
      {"face width 16385", [](dctest::PackageParts& p) { p.display.FaceWidth = 16385; }, true},
      {"face height -1", [](dctest::PackageParts& p) { p.display.FaceHeight = -1; }, true},
      {"face left -5", [](dctest::PackageParts& p) { p.display.FaceLeft = -5; }, true},
      {"LED cell 60000", [](dctest::PackageParts& p) { p.display.CellHeight = 60000; }, true},
      {"LED margin 20000", [](dctest::PackageParts& p) { p.display.MarginX = 20000; }, true},
      {"hidden LED cell 60000",
       [](dctest::PackageParts& p) {
         p.display.HideLed = 1;
         p.display.CellHeight = 60000;
       },
       false},
      {"popup width 1e9", [](dctest::PackageParts& p) { p.alert.Width = 1000000000; }, true},
      {"popup height -76", [](dctest::PackageParts& p) { p.alert.Height = -76; }, true},
      {"popup left -300 (custom positions may be off to the left)",
       [](dctest::PackageParts& p) { p.alert.Left = -300; }, false},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dctest::PackageParts p = dctest::DemoParts();
    c.change(p);
    dctest::WriteBytes(dir / "c.kvx", p.Bytes());
    ClockPackage db;
    db.Load(dir / "c.kvx");
    EXPECT_EQ(!FindPackageDamage(db).empty(), c.damaged) << c.name << ": " << FindPackageDamage(db);
  }
}

TEST(ClockPackage, FaceTypeSelectsFlashOnlyForSwfInAnyCase) {
  struct Case {
    const char type[6];
    bool flash;
  } cases[] = {{".swf", true}, {".SWF", true}, {".Swf", true}, {".swfx", false},
               {".bmp", false}, {"swf", false}, {"", false}};
  for (const Case& c : cases) {
    DisplaySettings d{};
    std::memcpy(d.FaceType, c.type, 6);
    EXPECT_EQ(IsFlashFaceType(d), c.flash) << c.type;
  }
}

TEST(ClockPackage, SaveFaceMovieAndSaveSoundWriteTheirPayloadsBeside) {
  TempDir dir;
  dctest::PackageParts p = dctest::DemoParts();
  std::memcpy(p.display.FaceType, ".SWF\0", 6);
  p.face = {'F', 'W', 'S', 5, 6};
  p.sound = {'R', 'I', 'F', 'F', 1, 2};
  dctest::WriteBytes(dir / "c.kvx", p.Bytes());
  dctest::WriteBytes(dir / "tmp.swf", Bytes(1000, 1));  // replaced, not appended to
  ClockPackage db;
  db.Load(dir / "c.kvx");
  EXPECT_TRUE(db.IsFlashFace());
  EXPECT_EQ(db.SaveFaceMovie(dir.folder()), dir / "tmp.swf");
  EXPECT_EQ(dctest::ReadBytes(dir / "tmp.swf"), p.face);
  EXPECT_EQ(db.SaveSound(dir.folder(), Own()), dir / "chime.wav");
  EXPECT_EQ(dctest::ReadBytes(dir / "chime.wav"), p.sound);
}

TEST(ClockPackage, EmptyPayloadsWriteNothingAndGiveEmptyPaths) {
  TempDir dir;
  dctest::PackageParts p = dctest::DemoParts();
  std::memcpy(p.display.FaceType, ".swf\0", 6);
  dctest::WriteBytes(dir / "c.kvx", p.Bytes());
  ClockPackage db;
  db.Load(dir / "c.kvx");
  EXPECT_TRUE(db.SaveFaceMovie(dir.folder()).empty());
  EXPECT_TRUE(db.SaveSound(dir.folder(), Own()).empty());
  EXPECT_FALSE(FileExists(dir / "tmp.swf"));
  EXPECT_FALSE(FileExists(dir / "chime.wav"));
}

TEST(ClockPackage, RefusedSoundNamesWriteNothing) {
  TempDir dir;
  dctest::PackageParts p = dctest::DemoParts();
  p.sound = {1, 2, 3};
  WriteFixedText(p.alert.SoundName, "alarm.SAV. ");
  dctest::WriteBytes(dir / "c.kvx", p.Bytes());
  ClockPackage db;
  db.Load(dir / "c.kvx");
  try {
    db.SaveSound(dir.folder(), Own());
    FAIL() << "the store's own name was accepted";
  } catch (const UserError& e) {
    EXPECT_NE(std::string(e.what()).find("alarm.SAV. "), std::string::npos) << e.what();
  }
  auto files = std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator());
  EXPECT_EQ(files, 1) << "only the package may be in the folder";
}

TEST(ClockPackage, SoundFileNameRules) {
  const char* refused[] = {"",          "  . ",        "..\\up.wav",   "a/b.wav",      "sub\\x.wav",
                           "C:x.wav",   "a..b.wav",    "CON",          "con.wav",      "Nul.txt",
                           "COM1.wav",  "lpt9",        "prn .wav",     "aux",          "DESKCLOCK.EXE",
                           "Clock.KVX", "alarm.sav",   "Alarm.sav.TMP", "TMP.SWF...",  "tmp.swf ",
                           "bell?.wav", "a\tb.wav",    "x|y.wav"};
  for (const char* name : refused) EXPECT_NE(CheckSoundFileName(name, Own()), "") << '"' << name << '"';
  const char* accepted[] = {"chime.wav", "COM10.wav", "console.wav", "LPT0.wav", "my sound.mp3",
                            "tmp.swf.wav", ".wav", "a.b.c.wav"};
  for (const char* name : accepted) EXPECT_EQ(CheckSoundFileName(name, Own()), "") << '"' << name << '"';
}

TEST(ClockPackage, TrailerNameIsTheLast32BytesUpToTheirFirstZero) {
  TempDir dir;
  struct Case {
    std::string name;
    std::string expect;
  } cases[] = {{"clock.kvx", "clock.kvx"},
               {std::string(32, 'n'), std::string(32, 'n')},
               {"", ""}};
  for (const Case& c : cases) {
    ClockTrailer t = MakeTrailer(c.name);
    Bytes exe(5000, 0x90);
    Bytes tb = dctest::BytesOf(t);
    exe.insert(exe.end(), tb.begin(), tb.end());
    dctest::WriteBytes(dir / "x.exe", exe);
    EXPECT_EQ(ReadTrailerName(dir / "x.exe"), c.expect);
  }
  // The first 32 trailer bytes are not interpreted; a byte right before the
  // name does not reach it.
  Bytes exe(100, 'Z');
  dctest::WriteBytes(dir / "x.exe", exe);
  EXPECT_EQ(ReadTrailerName(dir / "x.exe"), std::string(32, 'Z'));
  dctest::WriteBytes(dir / "tiny.exe", Bytes(10, 'Z'));
  EXPECT_EQ(ReadTrailerName(dir / "tiny.exe"), "");
}
