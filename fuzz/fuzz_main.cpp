// Runs a fuzz driver without libFuzzer (g++ builds): every seed once, then a
// number of inputs mutated from the seeds by a fixed pseudo-random sequence,
// so that a run is repeatable. The driver is the same LLVMFuzzerTestOneInput
// that a libFuzzer build (clang, -fsanitize=fuzzer) links.
//
//   driver [-runs=N] [-seed=S] [-max_len=L] [-timeout=SECONDS] [-dict=FILE] SEED...
//
// A SEED is a file or a folder of files. An input that fails (a sanitizer
// report, an abort, a signal, an input slower than the timeout) is written to
// "<driver>-failure.bin" in the current folder before the program ends.
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

// The input under test, for the failure handlers (plain storage: they only
// call write(2)).
const uint8_t* g_current = nullptr;
size_t g_currentSize = 0;
char g_failureFile[512] = "fuzz-failure.bin";

void SaveCurrentInput() {
    const int fd = ::open(g_failureFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    size_t done = 0;
    while (done < g_currentSize) {
        const ssize_t n = ::write(fd, g_current + done, g_currentSize - done);
        if (n <= 0) break;
        done += size_t(n);
    }
    ::close(fd);
    const char note[] = "\nthe failing input was written to ";
    [[maybe_unused]] ssize_t w = ::write(2, note, sizeof note - 1);
    w = ::write(2, g_failureFile, std::strlen(g_failureFile));
    w = ::write(2, "\n", 1);
}

void OnSignal(int sig) {
    if (sig == SIGALRM) {
        const char slow[] = "\nan input took longer than the timeout\n";
        [[maybe_unused]] ssize_t w = ::write(2, slow, sizeof slow - 1);
    }
    SaveCurrentInput();
    std::signal(sig, SIG_DFL);
    if (sig == SIGALRM) std::_Exit(70);
    std::raise(sig);
}

Bytes ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// libFuzzer dictionary lines: name="token" or "token", with \\, \" and \xNN.
std::vector<Bytes> ReadDictionary(const std::string& file) {
    std::vector<Bytes> tokens;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const size_t open = line.find('"'), close = line.rfind('"');
        if (line.empty() || line[0] == '#' || open == std::string::npos || close <= open) continue;
        Bytes t;
        for (size_t i = open + 1; i < close; ++i) {
            if (line[i] == '\\' && i + 1 < close) {
                ++i;
                if (line[i] == 'x' && i + 2 < close) {
                    t.push_back(uint8_t(std::stoi(line.substr(i + 1, 2), nullptr, 16)));
                    i += 2;
                } else {
                    t.push_back(uint8_t(line[i]));
                }
            } else {
                t.push_back(uint8_t(line[i]));
            }
        }
        tokens.push_back(t);
    }
    return tokens;
}

class Mutator {
public:
    Mutator(uint32_t seed, size_t maxLen, std::vector<Bytes> dictionary)
        : rng_(seed), maxLen_(maxLen), dictionary_(std::move(dictionary)) {
        for (const char* t : {"0", "-1", "1", "2147483647", "-2147483648", "4294967296", "99999999999", "1e4932",
                              "1.18973149e4932", "-1.18973149e4932", "3.3621031e-4932", "1e-4950", "0.999999",
                              "0.99999", "100000", "100001", "NAN", "INF", " ", "\r\n", "\n", "\t", "\xff", "\xc3",
                              "\xc3\xb6", "(", ")", "#", "'", "="})
            interesting_.emplace_back(t, t + std::strlen(t));
    }

    Bytes Mutate(const Bytes& in, const std::vector<Bytes>& pool) {
        Bytes b = in;
        const int steps = 1 + int(Below(4));
        for (int s = 0; s < steps; ++s) Step(b, pool);
        if (b.size() > maxLen_) b.resize(maxLen_);
        return b;
    }

private:
    size_t Below(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }

    const Bytes& Token() {
        if (!dictionary_.empty() && Below(3) != 0) return dictionary_[Below(dictionary_.size())];
        return interesting_[Below(interesting_.size())];
    }

    void Insert(Bytes& b, size_t at, const Bytes& what) { b.insert(b.begin() + long(at), what.begin(), what.end()); }

    void Step(Bytes& b, const std::vector<Bytes>& pool) {
        const size_t n = b.size();
        switch (Below(9)) {
            case 0:  // flip a bit
                if (n) b[Below(n)] ^= uint8_t(1u << Below(8));
                break;
            case 1:  // a random byte
                if (n) b[Below(n)] = uint8_t(Below(256));
                break;
            case 2: {  // delete a range
                if (!n) break;
                const size_t at = Below(n), len = 1 + Below(std::min<size_t>(16, n - at));
                b.erase(b.begin() + long(at), b.begin() + long(at + len));
                break;
            }
            case 3: {  // insert random bytes
                Bytes r(1 + Below(8));
                for (auto& c : r) c = uint8_t(Below(256));
                Insert(b, Below(n + 1), r);
                break;
            }
            case 4: {  // copy a range elsewhere
                if (!n) break;
                const size_t at = Below(n), len = 1 + Below(std::min<size_t>(64, n - at));
                const Bytes chunk(b.begin() + long(at), b.begin() + long(at + len));
                Insert(b, Below(n + 1), chunk);
                break;
            }
            case 5:  // a dictionary or interesting token
                Insert(b, Below(n + 1), Token());
                break;
            case 6: {  // replace a run of digits by an interesting number
                if (!n) break;
                size_t at = Below(n);
                while (at < n && !(b[at] >= '0' && b[at] <= '9')) ++at;
                if (at == n) break;
                size_t end = at;
                while (end < n && ((b[end] >= '0' && b[end] <= '9') || b[end] == '.' || b[end] == 'E' || b[end] == '-'))
                    ++end;
                b.erase(b.begin() + long(at), b.begin() + long(end));
                Insert(b, at, interesting_[Below(17)]);
                break;
            }
            case 7: {  // splice with another input
                if (pool.empty()) break;
                const Bytes& o = pool[Below(pool.size())];
                const size_t cut = Below(n + 1), from = Below(o.size() + 1);
                b.resize(cut);
                b.insert(b.end(), o.begin() + long(from), o.end());
                break;
            }
            case 8: {  // repeat a short range many times (long chains, deep nesting)
                if (!n) break;
                const size_t at = Below(n), len = 1 + Below(std::min<size_t>(8, n - at));
                const Bytes chunk(b.begin() + long(at), b.begin() + long(at + len));
                const size_t times = 1 + Below(std::max<size_t>(1, std::min<size_t>(20000, maxLen_ / (len * 4))));
                Bytes run;
                for (size_t k = 0; k < times; ++k) run.insert(run.end(), chunk.begin(), chunk.end());
                Insert(b, at, run);
                break;
            }
        }
    }

    std::mt19937 rng_;
    size_t maxLen_;
    std::vector<Bytes> dictionary_;
    std::vector<Bytes> interesting_;
};

void Run(const Bytes& input, unsigned timeout) {
    g_current = input.data();
    g_currentSize = input.size();
    if (timeout) ::alarm(timeout);
    LLVMFuzzerTestOneInput(input.data(), input.size());
    if (timeout) ::alarm(0);
}

}  // namespace

int main(int argc, char** argv) {
    long runs = 1000;
    uint32_t seed = 1;
    size_t maxLen = 1 << 16;
    unsigned timeout = 10;
    std::string dict;
    std::vector<Bytes> seeds;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* name) { return a.rfind(name, 0) == 0 ? a.substr(std::strlen(name)) : std::string(); };
        if (!value("-runs=").empty()) runs = std::stol(value("-runs="));
        else if (!value("-seed=").empty()) seed = uint32_t(std::stoul(value("-seed=")));
        else if (!value("-max_len=").empty()) maxLen = std::stoul(value("-max_len="));
        else if (!value("-timeout=").empty()) timeout = unsigned(std::stoul(value("-timeout=")));
        else if (!value("-dict=").empty()) dict = value("-dict=");
        else if (std::filesystem::is_directory(a)) {
            std::vector<std::filesystem::path> files;
            for (const auto& e : std::filesystem::directory_iterator(a))
                if (e.is_regular_file()) files.push_back(e.path());
            std::sort(files.begin(), files.end());
            for (const auto& f : files) seeds.push_back(ReadFile(f));
        } else if (std::filesystem::is_regular_file(a)) {
            seeds.push_back(ReadFile(a));
        } else {
            std::cerr << "unknown argument or missing seed: " << a << "\n";
            return 2;
        }
    }
    // An absolute name: a driver may change the current folder.
    std::snprintf(g_failureFile, sizeof g_failureFile, "%s/%s-failure.bin", std::filesystem::current_path().c_str(),
                  std::filesystem::path(argv[0]).filename().c_str());
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGALRM}) std::signal(sig, OnSignal);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(SaveCurrentInput);
#endif
    if (seeds.empty()) seeds.push_back({});

    for (const Bytes& s : seeds) Run(s, timeout);
    Mutator mutator(seed, maxLen, dict.empty() ? std::vector<Bytes>{} : ReadDictionary(dict));
    std::vector<Bytes> pool = seeds;
    std::mt19937 pick(seed ^ 0x9e3779b9u);
    for (long r = 0; r < runs; ++r) {
        const Bytes& base = pool[std::uniform_int_distribution<size_t>(0, pool.size() - 1)(pick)];
        Bytes input = mutator.Mutate(base, pool);
        Run(input, timeout);
        // Some mutants join the pool, so that mutations build on each other.
        if (pool.size() < seeds.size() + 256 && pick() % 8 == 0) pool.push_back(std::move(input));
    }
    std::cout << argv[0] << ": " << seeds.size() << " seeds and " << runs << " mutated inputs, no failure\n";
    return 0;
}
