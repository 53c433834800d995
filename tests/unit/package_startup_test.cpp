// The player's package start-up: finding the package through the trailer,
// damage, silent start and what is written beside the executable.
#include <gtest/gtest.h>

#include <cstring>

#include "base/file_io.h"
#include "base/fixed_text.h"
#include "package/clock_package.h"
#include "app/package_startup.h"
#include "package_builder.h"
#include "test_support.h"

using namespace dc;
using dctest::Bytes;
using dctest::TempDir;
using Outcome = PackageStart::Outcome;

namespace {

std::filesystem::path MakePlayer(const TempDir& dir, const std::string& package) {
  return dctest::MakePlayer(dir.path(), package);
}

std::size_t FilesIn(const TempDir& dir) {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()));
}

}  // namespace

TEST(PackageStartup, MissingPackageNamesItExactly) {
  TempDir dir;
  EXPECT_EQ(StartPackage(MakePlayer(dir, "clock.kvx"), false, dctest::WritableFolder()).message, "file clock.kvx not found.");
  PackageStart s = StartPackage(MakePlayer(dir, ""), false, dctest::WritableFolder());
  EXPECT_EQ(s.outcome, Outcome::Missing);
  EXPECT_EQ(s.message, "file  not found.");
  std::string full(32, 'x');
  EXPECT_EQ(StartPackage(MakePlayer(dir, full), false, dctest::WritableFolder()).message, "file " + full + " not found.");
  EXPECT_EQ(FilesIn(dir), 1u) << "nothing but the player may be written";
}

TEST(PackageStartup, ReadyPackageWritesItsSoundAndKeepsTheRecords) {
  TempDir dir;
  dctest::PackageParts p = dctest::DemoParts();
  p.face = dctest::Bmp24(2, 1, {0x00FF00FF, 0x00102030});
  p.sound = {'R', 'I', 'F', 'F'};
  dctest::WriteBytes(dir / "clock.kvx", p.Bytes());
  PackageStart s = StartPackage(MakePlayer(dir, "clock.kvx"), false, dctest::WritableFolder());
  ASSERT_EQ(s.outcome, Outcome::Ready) << s.message;
  EXPECT_TRUE(s.warnings.empty());
  EXPECT_EQ(s.soundPath, dir / "chime.wav");
  EXPECT_EQ(dctest::ReadBytes(dir / "chime.wav"), p.sound);
  EXPECT_EQ(s.faceBitmap, p.face);
  EXPECT_FALSE(s.flashFace);
  EXPECT_EQ(ReadFixedText(s.header.ClockName), "Test Clock");
  EXPECT_EQ(+s.display.Opacity, 200);
  EXPECT_TRUE(s.moviePath.empty());
}

TEST(PackageStartup, SilentStartWritesNoSound) {
  TempDir dir;
  dctest::PackageParts p = dctest::DemoParts();
  p.sound = {'R', 'I', 'F', 'F'};
  dctest::WriteBytes(dir / "clock.kvx", p.Bytes());
  PackageStart s = StartPackage(MakePlayer(dir, "clock.kvx"), true, dctest::WritableFolder());
  EXPECT_EQ(s.outcome, Outcome::Ready);
  EXPECT_TRUE(s.soundPath.empty());
  EXPECT_EQ(FilesIn(dir), 2u);

  const std::string p1[] = {"p"}, pBig[] = {"P"}, pp[] = {"pp"}, other[] = {"x", "p"};
  EXPECT_TRUE(IsSilentStart(p1));
  EXPECT_FALSE(IsSilentStart(pBig));
  EXPECT_FALSE(IsSilentStart(pp));
  EXPECT_FALSE(IsSilentStart(other));
  EXPECT_FALSE(IsSilentStart({}));
}

TEST(PackageStartup, DamagedPackagesStopWithTheFileAndTheFaultNamed) {
  TempDir dir;
  auto player = MakePlayer(dir, "clock.kvx");
  struct Case {
    const char* name;
    Bytes file;
    const char* fault;
  };
  dctest::PackageParts huge = dctest::DemoParts();
  huge.display.FaceWidth = 100000;
  dctest::PackageParts shortSound = dctest::DemoParts();
  shortSound.sound = Bytes(10, 1);
  Bytes cut = shortSound.Bytes();
  cut.pop_back();
  Case cases[] = {
      {"no mark", Bytes(800, 'A'), "KVX"},
      {"tiny", Bytes{'K', 'V', 'X', 0}, "header"},
      {"cut sound", cut, "need"},
      {"huge face", huge.Bytes(), "face width is 100000"},
  };
  for (const Case& c : cases) {
    dctest::WriteBytes(dir / "clock.kvx", c.file);
    PackageStart s = StartPackage(player, false, dctest::WritableFolder());
    EXPECT_EQ(s.outcome, Outcome::Damaged) << c.name;
    EXPECT_NE(s.message.find(PathToUtf8(dir / "clock.kvx")), std::string::npos) << s.message;
    EXPECT_NE(s.message.find(c.fault), std::string::npos) << s.message;
    EXPECT_FALSE(FileExists(dir / "chime.wav")) << c.name;
  }
}

TEST(PackageStartup, RefusedSoundNameAndUnwritableSoundAreWarningsOnce) {
  TempDir dir;
  dctest::PackageParts p = dctest::DemoParts();
  p.sound = {'R', 'I', 'F', 'F'};
  WriteFixedText(p.alert.SoundName, "DeskClock.exe");
  dctest::WriteBytes(dir / "clock.kvx", p.Bytes());
  auto player = MakePlayer(dir, "clock.kvx");
  Bytes playerBytes = dctest::ReadBytes(player);
  PackageStart s = StartPackage(player, false, dctest::WritableFolder());
  EXPECT_EQ(s.outcome, Outcome::Ready);
  ASSERT_EQ(s.warnings.size(), 1u);
  EXPECT_NE(s.warnings[0].find("without sound"), std::string::npos) << s.warnings[0];
  EXPECT_TRUE(s.soundPath.empty());
  EXPECT_EQ(dctest::ReadBytes(player), playerBytes);

  // A folder in the way of the sound file: the platform's file error.
  WriteFixedText(p.alert.SoundName, "chime.wav");
  dctest::WriteBytes(dir / "clock.kvx", p.Bytes());
  std::filesystem::create_directory(dir / "chime.wav");
  s = StartPackage(player, false, dctest::WritableFolder());
  EXPECT_EQ(s.outcome, Outcome::Ready);
  ASSERT_EQ(s.warnings.size(), 1u);
  EXPECT_NE(s.warnings[0].find("Cannot create file \"" + PathToUtf8(dir / "chime.wav") + "\""), std::string::npos)
      << s.warnings[0];
  EXPECT_TRUE(s.soundPath.empty());
}

TEST(PackageStartup, FlashFaceIsWrittenToTmpSwfUnlessEmpty) {
  TempDir dir;
  dctest::PackageParts p = dctest::DemoParts();
  std::memcpy(p.display.FaceType, ".Swf", 4);
  dctest::WriteBytes(dir / "clock.kvx", p.Bytes());
  auto player = MakePlayer(dir, "clock.kvx");
  PackageStart s = StartPackage(player, false, dctest::WritableFolder());
  EXPECT_TRUE(s.flashFace);
  EXPECT_TRUE(s.moviePath.empty()) << "no face data, no movie";
  EXPECT_FALSE(FileExists(dir / "tmp.swf"));

  p.face = {'F', 'W', 'S'};
  dctest::WriteBytes(dir / "clock.kvx", p.Bytes());
  s = StartPackage(player, false, dctest::WritableFolder());
  EXPECT_EQ(s.moviePath, dir / "tmp.swf");
  EXPECT_EQ(dctest::ReadBytes(dir / "tmp.swf"), p.face);
  EXPECT_TRUE(s.faceBitmap.empty());
}
