// Runs the built engine library end to end, as the front-end does: a fresh
// folder with names.dat and the deck, that folder as the current directory,
// one call of the entry point with code 12.
//
//   EngineRun r = RunDeck("FOUNDATION=...\nSTOP\n");
//   EXPECT_EQ(r.code, 2);  r.report, r.plot, r.dir
#pragma once

#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace engine_harness {

struct EngineRun {
  int code = -1;             // IVORTN's result; -1 when the library failed to load
  std::string report;        // the .vto file ("" when not written)
  std::string plot;          // the .vtp file ("" when not written)
  std::filesystem::path dir; // the run folder (kept for inspection)
};

inline std::string ReadText(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  if (!f) return {};
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

inline void WriteText(const std::filesystem::path& p, const std::string& text) {
  std::ofstream f(p, std::ios::binary);
  f << text;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream s(text);
  std::string line;
  while (std::getline(s, line)) out.push_back(line);
  return out;
}

// A new empty folder under the system's temporary folder. Its name is made
// of digits only: the report's heading prints the folder, and the tests look
// for "nan" and "inf" in the report, which a random name could spell.
// The folders are removed when the test program ends.
inline std::filesystem::path MakeTempDir() {
  struct Made {
    std::vector<std::filesystem::path> dirs;
    ~Made() {
      for (const auto& d : dirs) {
        std::error_code ec;
        std::filesystem::remove_all(d, ec);
      }
    }
  };
  static Made made;
  static unsigned serial = 0;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int tries = 0; tries < 1000; ++tries) {
    const std::filesystem::path d =
        base / ("vortn-run-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    std::error_code ec;
    if (std::filesystem::create_directory(d, ec)) {
      made.dirs.push_back(d);
      return d;
    }
  }
  return {};
}

// The seven names.dat lines: version, deck, report, plot data, run notes,
// geometry, mass file (full names in `dir`).
inline std::string NamesDat(const std::filesystem::path& dir, const std::string& massName = "job.vtm") {
  return "3.0.12\n" + (dir / "job.vtd").string() + "\n" + (dir / "job.vto").string() + "\n" +
         (dir / "job.vtp").string() + "\n" + (dir / "job.vtr").string() + "\n" + (dir / "job.vtt").string() +
         "\n" + (dir / massName).string() + "\n";
}

// Calls the library's IVORTN(code) with `dir` as the current directory.
inline int CallEngine(const std::filesystem::path& dir, int code = 12) {
  void* lib = dlopen(VRT3_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (!lib) return -1;
  using Entry = std::int32_t (*)(std::int32_t);
  auto entry = reinterpret_cast<Entry>(dlsym(lib, "IVORTN"));
  int result = -1;
  if (entry) {
    std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    result = entry(code);
    std::filesystem::current_path(old);
  }
  dlclose(lib);
  return result;
}

// Writes names.dat (unless `names` says otherwise: pass the text to write,
// or "-" for no names.dat at all), the deck, and runs the engine.
inline EngineRun RunDeck(const std::string& deck, int code = 12, const std::string* names = nullptr) {
  EngineRun r;
  r.dir = MakeTempDir();
  if (r.dir.empty()) return r;
  if (!names)
    WriteText(r.dir / "names.dat", NamesDat(r.dir));
  else if (*names != "-")
    WriteText(r.dir / "names.dat", *names);
  WriteText(r.dir / "job.vtd", deck);
  r.code = CallEngine(r.dir, code);
  r.report = ReadText(r.dir / "job.vto");
  r.plot = ReadText(r.dir / "job.vtp");
  return r;
}

}  // namespace engine_harness
