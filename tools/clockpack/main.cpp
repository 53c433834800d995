// clockpack: builds clock packages, shows what they hold, attaches one to a
// copy of the player, and makes a clock's release.
#include <iostream>

#include <CLI/CLI.hpp>

#include "base/file_io.h"
#include "base/user_error.h"
#include "describe.h"
#include "manifest.h"
#include "play.h"
#include "preview.h"
#include "release.h"

int main(int argc, char** argv) {
  CLI::App app{"clockpack: make clock packages for the desk clock player"};
  app.require_subcommand(1);

  std::string manifestPath, outPath, packagePath, playerPath, kitPath;
  bool asJson = false, strict = false;

  auto* build = app.add_subcommand("build", "build a package from a JSON manifest");
  build->add_option("MANIFEST", manifestPath, "the manifest (JSON)")->required()->check(CLI::ExistingFile);
  build->add_option("-o,--output", outPath, "the package to write (NAME.kvx)")->required();
  build->add_flag("--strict", strict, "treat warnings as errors: write nothing when there is one");

  auto* inspect = app.add_subcommand("inspect", "print every field of a package");
  inspect->add_option("PACKAGE", packagePath, "the package")->required()->check(CLI::ExistingFile);
  inspect->add_flag("--json", asJson, "print JSON");

  auto* attach = app.add_subcommand("attach", "copy the player and append the trailer naming a package");
  attach->add_option("PLAYER", playerPath, "the player (DeskClock.exe)")->required()->check(CLI::ExistingFile);
  attach->add_option("PACKAGE", packagePath, "the package, which must lie beside the clock")->required();
  attach->add_option("-o,--output", outPath, "the clock program to write")->required();

  std::string previewTime, previewFormat = "h:mm:ss tt", previewScale;
  std::uint32_t previewFrame = 0;
  auto* preview = app.add_subcommand("preview", "draw the clock as it shows on a desktop, to a PNG");
  preview->add_option("PACKAGE", packagePath, "the package")->required()->check(CLI::ExistingFile);
  preview->add_option("-o,--output", outPath, "the picture to write (OUT.png)")->required();
  preview->add_option("--time", previewTime, "the time the clock shows, HH:MM:SS (default 10:08:30)");
  preview->add_option("--frame", previewFrame, "the movie's frame to show, from 1 (default: what shows after one second of play)")
      ->check(CLI::Range(1u, 1000000u));
  preview->add_option("--format", previewFormat,
                      "the digits' time picture: h or hh (12-hour), H or HH (24-hour), then :mm:ss, "
                      "and tt for AM/PM (default \"h:mm:ss tt\")");
  preview->add_option("--scale", previewScale,
                      "the screen's scale, as 1.5 or 150% (default 1): the clock as it shows on such a screen");
  auto* release = app.add_subcommand("release", "make a clock's portable zip, installer and SHA256SUMS");
  release->add_option("MANIFEST", manifestPath, "the manifest (JSON)")->required()->check(CLI::ExistingFile);
  release->add_option("-o,--output", outPath, "the folder to write the release to")->required();
  release->add_option("--kit", kitPath, "the designer kit's folder (by default clockpack's own)");
  release->add_flag("--strict", strict, "treat warnings as errors: write nothing when there is one");

  clockpack::PlayOptions play;
  std::uint32_t playFrames = 0;
  std::string playClock, playInput, playSize;
  std::vector<std::string> playCaptures;
  auto* playCommand = app.add_subcommand("play", "play a movie as the clock does: its trace lines, its pictures");
  playCommand->add_option("MOVIE", play.movie, "the movie (.swf)")->required()->check(CLI::ExistingFile);
  playCommand->add_option("--frames", playFrames, "frames to play, the first counted (default: the movie's frames)")
      ->check(CLI::Range(1u, 1000000u));
  playCommand->add_option("--clock", playClock,
                          "the time scripts read, fixed: YYYY-MM-DDTHH:MM:SS+HHMM (default: now, moving)");
  playCommand->add_option("--input", playInput, "mouse events between frames (a JSON list; \"Wait\" lets a frame run)")
      ->check(CLI::ExistingFile);
  playCommand->add_flag("--trace", play.trace, "print each trace line on standard output, and nothing else");
  playCommand->add_option("--size", playSize, "the picture's size WxH, the stage fitted into it (default: the stage's)");
  playCommand->add_option("--quality", play.quality, "the movie's quality: low, medium, high or best (default high)")
      ->check(CLI::IsMember({"low", "medium", "high", "best"}));
  playCommand->add_option("--capture", playCaptures, "FRAME OUT.png: the stage after that frame, as a PNG")
      ->expected(2)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);

  CLI11_PARSE(app, argc, argv);
  if (*playCommand) {
    try {
      if (playFrames) play.frames = playFrames;
      if (!playClock.empty()) play.clock = clockpack::ParseClock(playClock);
      if (!playSize.empty()) clockpack::ParseSize(playSize, play.width, play.height);
      if (!playInput.empty()) {
        const std::vector<std::uint8_t> text = clockpack::ReadFileBytes(playInput);
        play.input = clockpack::ParseInput(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
      }
      for (std::size_t i = 0; i + 1 < playCaptures.size(); i += 2) {
        const std::string& f = playCaptures[i];
        if (f.empty() || f.size() > 7 || f.find_first_not_of("0123456789") != std::string::npos || std::stoul(f) < 1)
          throw clockpack::ToolError("--capture: \"" + f + "\" is no frame number (from 1)");
        play.captures.push_back({static_cast<std::uint32_t>(std::stoul(f)), playCaptures[i + 1]});
      }
    } catch (const std::exception& e) {
      std::cerr << "clockpack: " << e.what() << "\n";
      return 1;
    }
    try {
      clockpack::PlayMovie(play, std::cout, std::cerr);
    } catch (const dc::UserError& e) {
      std::cerr << "clockpack: " << e.what() << "\n";
      return 2;
    } catch (const std::exception& e) {
      std::cerr << "clockpack: " << e.what() << "\n";
      return 1;
    }
    return 0;
  }
  try {
    if (*build) {
      const std::vector<std::uint8_t> text = clockpack::ReadFileBytes(manifestPath);
      const nlohmann::json manifest =
          clockpack::ParseManifest(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
      const clockpack::BuiltClock clock =
          clockpack::BuildClock(manifest, std::filesystem::path(manifestPath).parent_path());
      for (const std::string& w : clock.warnings) std::cerr << "clockpack: warning: " << w << "\n";
      if (strict && !clock.warnings.empty()) {
        std::cerr << "clockpack: " << clock.warnings.size() << " warning" << (clock.warnings.size() == 1 ? "" : "s")
                  << " with --strict: nothing was written\n";
        return 1;
      }
      clockpack::WriteFileBytes(outPath, clock.package);
      std::cout << "wrote " << outPath << " (" << clock.package.size() << " bytes)\n";
    } else if (*inspect) {
      auto description = clockpack::DescribePackage(clockpack::ReadFileBytes(packagePath));
      std::cout << (asJson ? description.dump(2) + "\n" : clockpack::FormatDescription(description));
    } else if (*preview) {
      clockpack::PreviewOptions options;
      if (!previewTime.empty()) options.time = clockpack::ParsePreviewTime(previewTime, options.time);
      options.frame = previewFrame;
      options.format = clockpack::ParseTimeFormat(previewFormat);
      if (!previewScale.empty()) options.dpi = clockpack::ParsePreviewScale(previewScale);
      const clockpack::PreviewImage image = clockpack::RenderPreview(clockpack::ReadFileBytes(packagePath), options);
      for (const std::string& w : image.warnings) std::cerr << "clockpack: warning: " << w << "\n";
      clockpack::WriteFileBytes(outPath, clockpack::EncodePng(image));
      std::cout << "wrote " << outPath << " (" << image.width << " x " << image.height << ")\n";
    } else if (*attach) {
      clockpack::AttachPackage(playerPath, packagePath, outPath);
      std::cout << "wrote " << outPath << "\n";
    } else if (*release) {
      clockpack::Release({manifestPath, outPath, kitPath, strict}, std::cout);
    }
  } catch (const std::exception& e) {
    std::cerr << "clockpack: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
