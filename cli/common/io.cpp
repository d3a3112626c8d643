#include "cli/common/io.h"

#include <cstdio>
#include <iostream>
#include <iterator>

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/common/command.h"
#include "core/fetch.h"
#include "core/file_io.h"
#include "core/text.h"

namespace kit::cli {

std::optional<std::string> readInputBytes(const std::string& path, uint64_t maxBytes, bool* tooLarge) {
    *tooLarge = false;
    if (path.empty() || path == "-") {
        std::string data;
        char buf[1 << 16];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0) {
            if (data.size() + n > maxBytes) {
                *tooLarge = true;
                return std::nullopt;
            }
            data.append(buf, n);
        }
        if (std::ferror(stdin)) return std::nullopt;
        return data;
    }
    if (isDirectory(path)) return std::nullopt;
    return readFileBytesLimited(path, maxBytes, tooLarge);
}

void printError(const std::string& message) {
    std::string line = message;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

std::optional<Table> loadInputTable(const std::string& path, int* status) {
    // A device or pipe that never ends (/dev/zero) is refused once past the
    // limit instead of growing until memory runs out.
    bool tooLarge = false;
    auto bytes = readInputBytes(path, kMaxTableFileBytes, &tooLarge);
    if (!bytes) {
        printError(std::string(tooLarge ? kTooLarge : kCannotOpen) + ": " + (path.empty() ? "-" : path));
        *status = kExitFile;
        return std::nullopt;
    }
    Table table;
    if (Outcome fetched = fetchTableText(decodeInputText(std::move(*bytes)), table); !fetched.ok()) {
        printError(fetched.message);
        *status = fetched.status == Status::Error ? kExitFile : kExitUsage;
        return std::nullopt;
    }
    *status = kExitOk;
    return table;
}

bool writeOutput(const std::string& path, const std::string& text) {
    if (path.empty() || path == "-") {
        bool ok = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
        return std::fflush(stdout) == 0 && ok;
    }
    return writeFileBytes(path, text);
}

std::string outputDestination(const std::string& path) {
    if (path.empty() || path == "-") return "标准输出";
    return "文件 " + path;
}

int finishTextOutcome(const Outcome& outcome, const std::string& outputPath) {
    if (outcome.status == Status::Warning) {
        printError(outcome.message);
        return kExitUsage;
    }
    if (outcome.status == Status::Error) {
        printError(outcome.message);
        return kExitFile;
    }
    if (!writeOutput(outputPath, outcome.text)) {
        printError(std::string(kCannotWrite) + ": " + outputPath);
        return kExitFile;
    }
    if (!outcome.message.empty()) printError(outcome.message);
    return kExitOk;
}

namespace {

template <class Names>
std::optional<int> resolveColumnIn(const Names& headers, const std::string& option, const std::string& text) {
    for (size_t i = 0; i < headers.size(); ++i)
        if (headers[i] == text) return static_cast<int>(i);
    bool digits = !text.empty() && text.size() < 10;
    for (char c : text) digits = digits && c >= '0' && c <= '9';
    if (digits) {
        int index = std::stoi(text);
        if (static_cast<size_t>(index) < headers.size()) return index;
    }
    printError(option + ": no column named or numbered '" + text + "'");
    return std::nullopt;
}

}  // namespace

std::optional<int> resolveColumn(const std::vector<std::string>& headers, const std::string& option,
                                 const std::string& text) {
    return resolveColumnIn(headers, option, text);
}

std::optional<int> resolveColumn(const HeaderNames& headers, const std::string& option, const std::string& text) {
    return resolveColumnIn(headers, option, text);
}

std::optional<int> columnOption(const Table& table, const std::optional<std::string>& given,
                                const std::string& option, int detected) {
    if (!given) return detected;
    return resolveColumn(table.headers, option, *given);
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

#ifdef _WIN32
std::vector<std::string> utf8Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> out;
    for (int i = 1; i < argc; ++i) {
        std::wstring w(argv[i]);
        out.push_back(utf16ToUtf8(std::u16string(w.begin(), w.end())));
    }
    return out;
}
#endif

void useBinaryStdio() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
#endif
}

std::string programFolder() {
#ifdef _WIN32
    // The C runtime keeps the program's full path for a wmain program.
    const wchar_t* path = _wpgmptr;
    if (!path) return {};
    std::wstring w(path);
    return directoryOf(utf16ToUtf8(std::u16string(w.begin(), w.end())));
#else
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    auto u8 = exe.u8string();
    return directoryOf(std::string(u8.begin(), u8.end()));
#endif
}

}  // namespace kit::cli
