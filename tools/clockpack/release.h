// clockpack release: a clock as users get it, from a manifest and the
// designer's kit (the bare player and the installer script beside
// clockpack): a portable zip, a per-user installer when NSIS's makensis is
// there, and SHA256SUMS. No compiler, no sources, no network.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace clockpack {

struct ReleaseOptions {
  std::filesystem::path manifest;
  std::filesystem::path out;  // the folder the release goes to
  std::filesystem::path kit;  // empty: the folder clockpack lies in
  bool strict = false;        // warnings stop the release
};

// Writes the release and reports each step and warning to `report`.
// Throws ToolError.
void Release(const ReleaseOptions& options, std::ostream& report);

// A file name made of a clock's name, and the characters that had to go.
struct SafeName {
  std::string name;
  std::string replaced;  // each character once, in the order met; empty when none
};
SafeName FileNameOf(const std::string& clockName);

// The release's read-me from its template: @CLOCK@, @VERSION@, @EXE@ and
// @UNDERLINE@ (a line of "=" under "@CLOCK@ @VERSION@") replaced literally,
// lines ending in CR LF, UTF-8 with a byte order mark so that Notepad reads
// every letter of the name.
std::string ReadmeText(const std::string& templ, const std::string& clockName, const std::string& version,
                       const std::string& exe);

// A text as an NSIS string between double quotes: "$" doubled, quotes and
// line breaks escaped.
std::string NsisQuoted(const std::string& text);

}  // namespace clockpack
