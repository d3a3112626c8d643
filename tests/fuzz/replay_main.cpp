// Replays fuzz inputs without libFuzzer, for any compiler: every file of the
// corpus folders given, then a fixed number of deterministic mutations of
// each, so a CI run under the sanitizers covers more than the seeds.
//
//   fuzz_replay_<name> [--mutations N] <file or folder>...
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;

// splitmix64: small, fast, identical on every platform.
struct Rng {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(next() % n); }
};

constexpr size_t kMaxMutantBytes = 1 << 20;

// Bytes that matter to the readers: delimiters, quotes, escapes, signs,
// digits, white space, and bytes outside ASCII.
constexpr char kInteresting[] = "{}[]\"\\,:;.-+eExX0159 \t\r\n<>/\x00\x7f\x80\xff";
// Little-endian 32-bit values that probe counts and offsets.
constexpr uint32_t kInterestingWords[] = {0, 1, 0x7F, 0xFF, 0x7FFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};

void mutateOnce(std::string& s, Rng& rng, const std::vector<std::string>& all) {
    switch (rng.below(9)) {
        case 0:  // flip a bit
            if (!s.empty()) s[rng.below(s.size())] ^= static_cast<char>(1u << rng.below(8));
            break;
        case 1:  // set a byte to an interesting value
            if (!s.empty()) s[rng.below(s.size())] = kInteresting[rng.below(sizeof kInteresting - 1)];
            break;
        case 2:  // insert interesting bytes
            s.insert(rng.below(s.size() + 1), 1 + rng.below(4), kInteresting[rng.below(sizeof kInteresting - 1)]);
            break;
        case 3: {  // delete a range
            if (s.empty()) break;
            size_t at = rng.below(s.size());
            s.erase(at, 1 + rng.below(std::min<size_t>(s.size() - at, 64)));
            break;
        }
        case 4: {  // repeat a range, as hand-made pathological inputs do
            if (s.empty()) break;
            size_t at = rng.below(s.size());
            size_t len = 1 + rng.below(std::min<size_t>(s.size() - at, 32));
            std::string piece = s.substr(at, len);
            size_t times = 1 + rng.below(64);
            std::string run;
            for (size_t k = 0; k < times; ++k) run += piece;
            s.insert(rng.below(s.size() + 1), run);
            break;
        }
        case 5:  // cut short
            s.resize(rng.below(s.size() + 1));
            break;
        case 6: {  // overwrite a 32-bit word (counts and offsets in binary formats)
            if (s.size() < 4) break;
            uint32_t w = kInterestingWords[rng.below(std::size(kInterestingWords))];
            size_t at = rng.below(s.size() - 3);
            for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(w >> (8 * i));
            break;
        }
        case 7: {  // splice with another input
            const std::string& other = all[rng.below(all.size())];
            if (other.empty()) break;
            size_t from = rng.below(other.size());
            s = s.substr(0, rng.below(s.size() + 1)) + other.substr(from);
            break;
        }
        default:  // a random byte
            if (!s.empty()) s[rng.below(s.size())] = static_cast<char>(rng.next());
            break;
    }
    if (s.size() > kMaxMutantBytes) s.resize(kMaxMutantBytes);
}

// The input being run, kept so that a failing check can save it.
const std::string* current = nullptr;
constexpr char kCrashFile[] = "fuzz-replay-crash.bin";

extern "C" void saveCurrentInput(int sig) {
    // Only async-signal-safe calls from here on.
    if (current) {
        if (std::FILE* f = std::fopen(kCrashFile, "wb")) {
            std::fwrite(current->data(), 1, current->size(), f);
            std::fclose(f);
        }
        static const char kSaved[] = "the failing input is in fuzz-replay-crash.bin\n";
        std::fwrite(kSaved, 1, sizeof kSaved - 1, stderr);
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void run(const std::string& input) {
    current = &input;
    // A copy of exactly the input's size, so reads past the end are caught.
    std::vector<uint8_t> copy(input.begin(), input.end());
    LLVMFuzzerTestOneInput(copy.data(), copy.size());
    current = nullptr;
}

bool readFile(const fs::path& p, std::string& out) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    size_t mutations = 1000;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--mutations" && i + 1 < argc) {
            mutations = std::strtoul(argv[++i], nullptr, 10);
        } else if (fs::is_directory(arg)) {
            for (const auto& e : fs::directory_iterator(arg))
                if (e.is_regular_file()) files.push_back(e.path());
        } else if (fs::is_regular_file(arg)) {
            files.push_back(arg);
        } else {
            std::fprintf(stderr, "no such file or folder: %s\n", arg.c_str());
            return 2;
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "usage: %s [--mutations N] <file or folder>...\n", argv[0]);
        return 2;
    }

    std::vector<std::string> inputs(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        if (!readFile(files[i], inputs[i])) {
            std::fprintf(stderr, "cannot read %s\n", files[i].string().c_str());
            return 2;
        }
    }

    std::signal(SIGABRT, saveCurrentInput);
    std::signal(SIGSEGV, saveCurrentInput);
    const auto start = std::chrono::steady_clock::now();
    size_t executions = 0;
    run("");
    ++executions;
    for (size_t i = 0; i < inputs.size(); ++i) {
        run(inputs[i]);
        ++executions;
        Rng rng{0x6B6974ull * (i + 1)};
        for (size_t m = 0; m < mutations; ++m) {
            std::string mutant = inputs[i];
            for (size_t k = 1 + rng.below(4); k > 0; --k) mutateOnce(mutant, rng, inputs);
            run(mutant);
            ++executions;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu inputs, %zu executions in %.2f s\n", inputs.size(), executions, seconds);
    return 0;
}
