// The conformance runner: plays every test of the public AVM1 corpus with
// `clockpack play` and judges its trace lines and pictures against what the
// original player gave. Tests on the known-failures list may fail; any other
// failure is a regression, and a listed test that passes must come off the
// list (the list only shrinks). Tests that need the keyboard are left out:
// a clock face never has it.
//
//   conformance_runner --corpus DIR --clockpack PATH --known FILE
//                      [--jobs N] [--filter TEXT] [--update] [--timeout S]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include <toml++/toml.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

#include "compare.h"

namespace fs = std::filesystem;
using conformance::Approximations;
using conformance::Picture;

namespace {

enum class Kind { Plain, Mouse, Keyboard };

struct ImageCheck {
  std::string name;
  std::uint32_t frame = 0;  // 0: the last
  // Each (tolerance, outliers) pair must hold: a picture may give one, or
  // a list of `checks`, looser tolerances with fewer outliers.
  std::vector<std::pair<int, std::uint64_t>> limits;
};

struct Test {
  std::string name;  // its folder below the corpus
  fs::path dir;
  Kind kind = Kind::Plain;
  std::uint32_t frames = 1;
  std::optional<Approximations> approx;
  std::string quality = "high";
  std::int32_t width = 0, height = 0;
  std::vector<ImageCheck> images;
  bool hasOutput = false;
};

struct Result {
  bool passed = false;
  std::string why;
};

// A test is judged on its trace lines and, apart, on its pictures.
struct Outcome {
  std::optional<Result> trace, pictures;
};

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

Kind InputKind(const fs::path& file) {
  const std::string text = ReadText(file);
  for (const char* key : {"\"KeyDown\"", "\"KeyUp\"", "\"TextInput\"", "\"FocusGained\"", "\"FocusLost\"",
                          "\"SetClipboardText\"", "\"MouseWheel\""})
    if (text.find(key) != std::string::npos) return Kind::Keyboard;
  return Kind::Mouse;
}

// Some tests write inline tables over several lines, as TOML 1.1 allows and
// the parser does not: such a table is joined onto one line.
std::string JoinInlineTables(const std::string& text) {
  std::string out;
  int depth = 0;
  bool quoted = false, comment = false;
  for (char c : text) {
    if (comment) {
      if (c != '\n') continue;
      comment = false;
    }
    if (c == '"') quoted = !quoted;
    if (!quoted && c == '#') {
      comment = true;
      continue;
    }
    if (!quoted && c == '{') ++depth;
    if (!quoted && c == '}') {
      depth = std::max(0, depth - 1);
      while (!out.empty() && (out.back() == ' ' || out.back() == ',')) out.pop_back();
      out += ' ';
    }
    out += (c == '\n' && depth > 0) ? ' ' : c;
  }
  return out;
}

Test ReadTest(const fs::path& corpus, const fs::path& dir) {
  Test t;
  t.dir = dir;
  t.name = fs::relative(dir, corpus).generic_string();
  const toml::table toml = toml::parse(JoinInlineTables(ReadText(dir / "test.toml")));
  t.frames = static_cast<std::uint32_t>(toml["num_frames"].value_or(toml["num_ticks"].value_or(int64_t{1})));
  t.hasOutput = fs::exists(dir / "output.txt");
  if (const toml::table* a = toml["approximations"].as_table()) {
    Approximations ap;
    ap.epsilon = (*a)["epsilon"].value_or(0.0);
    ap.maxRelative = (*a)["max_relative"].value_or(0.0);
    ap.bareNumbers = (*a)["bare_numbers"].value_or(false);
    if (const toml::array* ps = (*a)["number_patterns"].as_array())
      for (const auto& p : *ps)
        if (auto s = p.value<std::string>()) ap.numberPatterns.push_back(*s);
    t.approx = ap;
  }
  if (const toml::table* o = toml["player_options"].as_table()) {
    t.quality = (*o)["with_renderer"]["quality"].value_or(std::string{"high"});
    if (const toml::table* v = (*o)["viewport_dimensions"].as_table()) {
      t.width = static_cast<std::int32_t>(std::lround((*v)["width"].value_or(0.0)));
      t.height = static_cast<std::int32_t>(std::lround((*v)["height"].value_or(0.0)));
    }
  }
  if (const toml::table* images = toml["image_comparisons"].as_table()) {
    for (const auto& [key, node] : *images) {
      const toml::table* c = node.as_table();
      if (!c) continue;
      ImageCheck check;
      check.name = std::string(key.str());
      check.frame = static_cast<std::uint32_t>((*c)["trigger"].value_or(int64_t{0}));
      const auto limitOf = [](const toml::table& l) {
        return std::pair{static_cast<int>(l["tolerance"].value_or(int64_t{0})),
                         static_cast<std::uint64_t>(l["max_outliers"].value_or(int64_t{0}))};
      };
      if (const toml::array* checks = (*c)["checks"].as_array()) {
        for (const toml::node& l : *checks)
          if (const toml::table* lt = l.as_table()) check.limits.push_back(limitOf(*lt));
      }
      if (check.limits.empty()) check.limits.push_back(limitOf(*c));
      if (fs::exists(dir / (check.name + ".expected.png"))) t.images.push_back(check);
    }
  }
  if (fs::exists(dir / "input.json")) t.kind = InputKind(dir / "input.json");
  return t;
}

// Runs `args` with stdout and stderr to files; false on a timeout.
bool Run(const std::vector<std::string>& args, const fs::path& out, const fs::path& err, int timeoutSeconds,
         int& status) {
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    if (!freopen(out.c_str(), "wb", stdout) || !freopen(err.c_str(), "wb", stderr)) _exit(127);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return true;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::optional<Picture> LoadPng(const fs::path& p) {
  int w = 0, h = 0, n = 0;
  unsigned char* data = stbi_load(p.c_str(), &w, &h, &n, 4);
  if (!data) return std::nullopt;
  Picture pic{w, h, std::vector<std::uint8_t>(data, data + static_cast<std::size_t>(w) * h * 4)};
  stbi_image_free(data);
  return pic;
}

Outcome RunTest(const Test& t, const std::string& clockpack, const fs::path& work, int timeout) {
  const auto both = [&t](Result r) {
    Outcome o;
    if (t.hasOutput) o.trace = r;
    if (!t.images.empty()) o.pictures = r;
    return o;
  };
  fs::create_directories(work);
  std::vector<std::string> args{clockpack, "play", (t.dir / "test.swf").string(), "--trace",
                                "--clock", "2001-02-03T04:05:06+0545", "--frames", std::to_string(t.frames),
                                "--quality", t.quality};
  if (t.kind == Kind::Mouse) args.insert(args.end(), {"--input", (t.dir / "input.json").string()});
  if (t.width > 0 && t.height > 0) args.insert(args.end(), {"--size", std::to_string(t.width) + "x" + std::to_string(t.height)});
  for (const ImageCheck& c : t.images)
    args.insert(args.end(), {"--capture", std::to_string(c.frame ? c.frame : t.frames), (work / (c.name + ".png")).string()});
  int status = 0;
  if (!Run(args, work / "out.txt", work / "err.txt", timeout, status))
    return both({false, "ran past " + std::to_string(timeout) + " s"});
  if (WIFSIGNALED(status)) return both({false, "crashed (signal " + std::to_string(WTERMSIG(status)) + ")"});
  if (WEXITSTATUS(status) != 0) {
    std::string err = ReadText(work / "err.txt");
    const std::size_t nl = err.find('\n');
    return both({false, "exit " + std::to_string(WEXITSTATUS(status)) + ": " + err.substr(0, std::min<std::size_t>(nl, 160))});
  }
  Outcome o;
  if (t.hasOutput) {
    // Every line the original player traced ends in "\n"; a file checked
    // out with Windows line ends says the same.
    std::string expected = ReadText(t.dir / "output.txt");
    for (std::size_t at; (at = expected.find("\r\n")) != std::string::npos;) expected.erase(at, 1);
    std::string why = conformance::CompareTrace(expected, ReadText(work / "out.txt"), t.approx);
    o.trace = Result{why.empty(), why};
  }
  if (!t.images.empty()) {
    o.pictures = Result{true, ""};
    for (const ImageCheck& c : t.images) {
      const auto expected = LoadPng(t.dir / (c.name + ".expected.png"));
      const auto actual = LoadPng(work / (c.name + ".png"));
      std::string why = !expected ? "the expected picture cannot be read"
                        : !actual ? "no picture was captured"
                                  : "";
      for (const auto& [tolerance, outliers] : c.limits) {
        if (!why.empty()) break;
        why = conformance::ComparePicture(*expected, *actual, tolerance, outliers);
      }
      if (!why.empty()) {
        o.pictures = Result{false, c.name + ": " + why};
        break;
      }
    }
  }
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path corpus, known, work = fs::temp_directory_path() / ("conformance-" + std::to_string(getpid()));
  std::string clockpack, filter;
  int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  int timeout = 60;
  bool update = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "conformance: " << a << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--corpus") corpus = value();
    else if (a == "--clockpack") clockpack = value();
    else if (a == "--known") known = value();
    else if (a == "--jobs") jobs = std::max(1, std::stoi(value()));
    else if (a == "--filter") filter = value();
    else if (a == "--timeout") timeout = std::max(1, std::stoi(value()));
    else if (a == "--work") work = value();
    else if (a == "--update") update = true;
    else {
      std::cerr << "conformance: unknown argument " << a << "\n";
      return 2;
    }
  }
  if (corpus.empty() || clockpack.empty() || known.empty()) {
    std::cerr << "usage: conformance_runner --corpus DIR --clockpack PATH --known FILE [--jobs N] [--filter TEXT] "
                 "[--update] [--timeout S]\n";
    return 2;
  }
  if (!fs::is_directory(corpus)) {
    std::cout << "conformance: no corpus at " << corpus.string() << "; nothing to check\n";
    return 0;
  }

  std::vector<Test> tests;
  for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
    if (entry.path().filename() != "test.toml" || !fs::exists(entry.path().parent_path() / "test.swf")) continue;
    try {
      Test t = ReadTest(corpus, entry.path().parent_path());
      if (filter.empty() || t.name.find(filter) != std::string::npos) tests.push_back(std::move(t));
    } catch (const std::exception& e) {
      std::cerr << "conformance: " << entry.path().string() << ": " << e.what() << "\n";
      return 2;
    }
  }
  std::sort(tests.begin(), tests.end(), [](const Test& a, const Test& b) { return a.name < b.name; });

  std::set<std::string> listed;
  {
    std::ifstream in(known);
    for (std::string line; std::getline(in, line);)
      if (!line.empty() && line[0] != '#') listed.insert(line);
  }

  std::vector<Outcome> results(tests.size());
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> pool;
  for (int j = 0; j < jobs; ++j) {
    pool.emplace_back([&] {
      for (std::size_t i; (i = next++) < tests.size();) {
        if (tests[i].kind == Kind::Keyboard) continue;
        fs::path dir = work / std::to_string(i);
        try {
          results[i] = RunTest(tests[i], clockpack, dir, timeout);
        } catch (const std::exception& e) {
          results[i].trace = Result{false, e.what()};
        }
        std::error_code ec;
        fs::remove_all(dir, ec);
      }
    });
  }
  for (std::thread& t : pool) t.join();
  std::error_code ec;
  fs::remove_all(work, ec);

  std::map<std::string, std::pair<int, int>> byKind;  // passed, run
  std::vector<std::string> regressions, nowPassing, failing;
  int skipped = 0;
  for (std::size_t i = 0; i < tests.size(); ++i) {
    const Test& t = tests[i];
    if (t.kind == Kind::Keyboard) {
      ++skipped;
      std::cout << "skip  " << t.name << " (keyboard)\n";
      continue;
    }
    const std::string folder = t.name.substr(0, t.name.find('/'));
    const auto judge = [&](const std::optional<Result>& r, const std::string& name, const std::string& group) {
      if (!r) return;
      auto& [passed, run] = byKind[group];
      ++run;
      const bool isListed = listed.count(name) != 0;
      if (r->passed) {
        ++passed;
        if (isListed) nowPassing.push_back(name);
        std::cout << (isListed ? "FIXED " : "pass  ") << name << "\n";
      } else {
        failing.push_back(name);
        if (!isListed) regressions.push_back(name);
        std::cout << (isListed ? "known " : "FAIL  ") << name << ": " << r->why << "\n";
      }
    };
    const std::string kind = t.kind == Kind::Mouse ? "mouse" : "trace";
    judge(results[i].trace, t.name, folder + " " + kind);
    judge(results[i].pictures, t.name + "#pictures", folder + " " + (t.kind == Kind::Mouse ? "mouse pictures" : "pictures"));
  }
  std::cout << "\n";
  int passedAll = 0, runAll = 0;
  for (const auto& [group, counts] : byKind) {
    std::cout << group << ": " << counts.first << " of " << counts.second << " pass ("
              << (counts.second ? 100 * counts.first / counts.second : 0) << " %)\n";
    passedAll += counts.first;
    runAll += counts.second;
  }
  std::cout << "conformance: " << passedAll << " of " << runAll << " pass, " << failing.size() << " fail ("
            << regressions.size() << " not on the list), " << skipped << " need the keyboard and are left out\n";

  if (update) {
    if (!filter.empty()) {
      std::cerr << "conformance: --update needs the whole corpus (no --filter)\n";
      return 2;
    }
    std::ofstream out(known, std::ios::binary | std::ios::trunc);
    out << "# Conformance tests that fail today (tests/conformance/runner.cpp); the list only shrinks.\n";
    for (const std::string& n : failing) out << n << "\n";
    std::cout << "conformance: wrote " << failing.size() << " names to " << known.string() << "\n";
    return 0;
  }
  for (const std::string& n : regressions) std::cout << "regression: " << n << "\n";
  for (const std::string& n : nowPassing) std::cout << "now passes, take it off the list: " << n << "\n";
  return regressions.empty() && nowPassing.empty() ? 0 : 1;
}
