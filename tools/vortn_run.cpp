// vortn-run DECK OUTDIR: runs the engine library that sits next to this
// program on DECK, with the report and plot data written to OUTDIR, the way
// the front-end runs it (names.dat in OUTDIR, OUTDIR as the current folder,
// one call of IVORTN with code 12).
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a result means; for 3, what the report (empty when there is none)
// says ended the run.
const char* Meaning(int result, const std::string& report) {
  switch (result) {
    case 0:
      return "done";
    case 1:
      return "wrong interface code";
    case 2:
      return "stopped (STOP or end of input)";
    case 3:
      if (report.find(" *** NOT ENOUGH MEMORY TO COMPLETE THE RUN ***") != std::string::npos) return "not enough memory";
      if (report.find(" *** THE RUN STOPPED ON AN INTERNAL ERROR ***") != std::string::npos) return "internal error";
      if (report.empty()) return "ended before its report was written";
      return "fatal input error";
    default:
      return "unknown";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vortn-run DECK OUTDIR\n");
    return 64;
  }
  std::error_code ec;
  fs::path deck = fs::absolute(argv[1], ec);
  if (!fs::is_regular_file(deck)) {
    std::fprintf(stderr, "vortn-run: no deck %s\n", argv[1]);
    return 66;
  }
  fs::path out = fs::absolute(argv[2], ec);
  fs::create_directories(out, ec);
  if (!fs::is_directory(out)) {
    std::fprintf(stderr, "vortn-run: cannot make %s\n", argv[2]);
    return 73;
  }
  std::string stem = deck.stem().string();
  fs::path report = out / (stem + ".vto");
  fs::path plot = out / (stem + ".vtp");
  {
    std::ofstream names(out / "names.dat");
    fs::path base = deck.parent_path() / stem;
    names << "3.0.12\n"
          << deck.string() << "\n"
          << report.string() << "\n"
          << plot.string() << "\n"
          << (out / (stem + ".vtr")).string() << "\n"
          << (out / (stem + ".vtt")).string() << "\n"
          << base.string() + ".vtm" << "\n";
  }
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) {
    std::fprintf(stderr, "vortn-run: cannot find its own folder\n");
    return 70;
  }
  self[n] = '\0';
  fs::path lib = fs::path(self).parent_path() / "libVrt3-comp.so";
  // The engine runs its own workers, each calling OpenBLAS single-threaded;
  // OpenBLAS's pool (POSIX-threads build) and OpenMP's threads (OpenMP
  // build) would only be started, and each given a 128 MiB buffer, while
  // the library loads.  Both read their count when they are loaded.
  setenv("OPENBLAS_NUM_THREADS", "1", 1);
  setenv("OMP_NUM_THREADS", "1", 1);
  void* h = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    std::fprintf(stderr, "vortn-run: %s\n", dlerror());
    return 69;
  }
  using Entry = std::int32_t (*)(std::int32_t);
  auto entry = reinterpret_cast<Entry>(dlsym(h, "_IVORTN"));
  if (!entry) {
    std::fprintf(stderr, "vortn-run: no entry point _IVORTN\n");
    dlclose(h);
    return 69;
  }
  fs::path old = fs::current_path();
  fs::current_path(out);
  int result = entry(12);
  fs::current_path(old);
  dlclose(h);
  const bool haveReport = fs::is_regular_file(report);
  std::printf("result %d (%s)\n", result, Meaning(result, haveReport ? ReadText(report) : std::string()));
  if (haveReport)
    std::printf("report %s\n", report.c_str());
  else
    std::printf("no report (%s was not written)\n", report.c_str());
  if (fs::exists(plot)) std::printf("plot data %s\n", plot.c_str());
  return result == 0 ? 0 : 1;
}
