// A stand-in for the engine library: records where it was called and what
// names.dat held, optionally writes a plot-data file, and returns the
// result the test asks for. Controlled through the environment:
//   VORTN_FAKE_RECORD  file that receives the current directory (first
//                      line) and the bytes of names.dat
//   VORTN_FAKE_RESULT  the result to return (default 0)
//   VORTN_FAKE_VTP     a plot-data file copied to the name on line 4
//   VORTN_FAKE_VTO     a report copied to the name on line 3
//   VORTN_FAKE_HOLD    after the files are written the call creates
//                      HOLD.held and returns only once HOLD.release exists,
//                      so that a test sees the run at work for as long as
//                      it needs, however busy the machine
//   VORTN_FAKE_THROW   when set, the call ends by throwing std::bad_alloc
//                      (after the files are written)
//   VORTN_FAKE_LOADED  file that receives OPENBLAS_NUM_THREADS and
//                      OMP_NUM_THREADS as they were while the library was
//                      loaded (when OpenBLAS and OpenMP read them), one
//                      NAME=value line each ("unset" for a missing one)
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// What the call returns when its test never released it.
constexpr int kNeverReleased = 97;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The thread variables while the library was loaded (made on first use:
// the load-time function may run before the file's other initialisers).
std::string& LoadedWith() {
    static std::string text;
    return text;
}

__attribute__((constructor)) void AtLoad() {
    for (const char* name : {"OPENBLAS_NUM_THREADS", "OMP_NUM_THREADS"}) {
        const char* v = std::getenv(name);
        LoadedWith() += std::string(name) + "=" + (v ? v : "unset") + "\n";
    }
}

int Run() {
    if (const std::string loaded = Env("VORTN_FAKE_LOADED"); !loaded.empty())
        std::ofstream(loaded, std::ios::binary) << LoadedWith();
    std::ifstream names("names.dat", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(names)), std::istreambuf_iterator<char>());
    if (const std::string record = Env("VORTN_FAKE_RECORD"); !record.empty()) {
        std::ofstream out(record, std::ios::binary);
        out << std::filesystem::current_path().string() << '\n' << bytes;
    }
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    const struct {
        const char* variable;
        std::size_t line;
    } outputs[] = {{"VORTN_FAKE_VTO", 2}, {"VORTN_FAKE_VTP", 3}};
    for (const auto& o : outputs)
        if (const std::string from = Env(o.variable); !from.empty() && lines.size() > o.line)
            std::filesystem::copy_file(from, lines[o.line], std::filesystem::copy_options::overwrite_existing);
    if (const std::string hold = Env("VORTN_FAKE_HOLD"); !hold.empty()) {
        std::ofstream(hold + ".held").close();
        // A test that never releases the call fails instead of hanging.
        const auto lastResort = std::chrono::steady_clock::now() + std::chrono::minutes(5);
        while (!std::filesystem::exists(hold + ".release")) {
            if (std::chrono::steady_clock::now() > lastResort) return kNeverReleased;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    if (!Env("VORTN_FAKE_THROW").empty()) throw std::bad_alloc();
    const std::string result = Env("VORTN_FAKE_RESULT");
    return result.empty() ? 0 : std::atoi(result.c_str());
}

}  // namespace

#ifdef VORTN_FAKE_WITHOUT_ENTRY
extern "C" __attribute__((visibility("default"))) int NOT_THE_ENTRY(int) { return Run(); }
#else
extern "C" __attribute__((visibility("default"))) int _IVORTN(int code) { return code == 12 ? Run() : 1; }
#endif
