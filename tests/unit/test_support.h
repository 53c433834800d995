// Helpers shared by the tests: a fresh temporary folder and whole-file
// reads and writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace dctest {

using Bytes = std::vector<std::uint8_t>;

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("dctest-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    // Read-only files left by a test must not keep the folder alive.
    for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
      std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // The folder with its trailing separator, as the player passes folders.
  std::filesystem::path folder() const { return path_.native() + std::filesystem::path::preferred_separator; }

 private:
  std::filesystem::path path_;
};

inline Bytes ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::filesystem::path& p, const Bytes& b) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

template <class T>
Bytes BytesOf(const T& value) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
  return Bytes(p, p + sizeof value);
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// The text of what `f` throws, or "(no error)".
inline std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace dctest
