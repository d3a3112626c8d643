#include "core/file_io.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "core/text.h"

namespace kit {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

FilePtr openFile(const std::string& utf8Path, const char* mode) {
#ifdef _WIN32
    std::u16string wpath = utf8ToUtf16(utf8Path);
    std::u16string wmode = utf8ToUtf16(mode);
    return FilePtr(_wfopen(reinterpret_cast<const wchar_t*>(wpath.c_str()),
                           reinterpret_cast<const wchar_t*>(wmode.c_str())));
#else
    return FilePtr(std::fopen(utf8Path.c_str(), mode));
#endif
}

std::filesystem::path toPath(const std::string& utf8Path) {
    return std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

bool isSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::optional<std::string> readFileBytesLimited(const std::string& utf8Path, uint64_t maxBytes, bool* tooLarge) {
    if (tooLarge) *tooLarge = false;
    FilePtr f = openFile(utf8Path, "rb");
    if (!f) return std::nullopt;
    std::string data;
    // Room for what the file says it holds, when that is within the limit; a
    // device or pipe says nothing and grows as it is read.
    std::error_code ec;
    if (auto size = std::filesystem::file_size(toPath(utf8Path), ec); !ec && size <= maxBytes) data.reserve(size);
    char buf[1 << 16];
    for (;;) {
        size_t n = std::fread(buf, 1, sizeof buf, f.get());
        if (n > 0) {
            if (data.size() + n > maxBytes) {
                if (tooLarge) *tooLarge = true;
                return std::nullopt;
            }
            data.append(buf, n);
        }
        if (n < sizeof buf) break;
    }
    if (std::ferror(f.get())) return std::nullopt;
    return data;
}

std::optional<std::string> readFileBytes(const std::string& utf8Path) {
    std::error_code ec;
    auto size = std::filesystem::file_size(toPath(utf8Path), ec);
    FilePtr f = openFile(utf8Path, "rb");
    if (!f) return std::nullopt;
    std::string data;
    if (!ec) data.reserve(size);
    char buf[1 << 16];
    for (;;) {
        size_t n = std::fread(buf, 1, sizeof buf, f.get());
        data.append(buf, n);
        if (n < sizeof buf) break;
    }
    if (std::ferror(f.get())) return std::nullopt;
    return data;
}

bool writeFileBytes(const std::string& utf8Path, std::string_view bytes) {
    return writeFilesTogether({{utf8Path, bytes}});
}

bool fileExists(const std::string& utf8Path) {
    std::error_code ec;
    return std::filesystem::exists(toPath(utf8Path), ec);
}

bool isDirectory(const std::string& utf8Path) {
    std::error_code ec;
    return std::filesystem::is_directory(toPath(utf8Path), ec);
}

bool createDirectories(const std::string& utf8Path) {
    std::error_code ec;
    std::filesystem::create_directories(toPath(utf8Path), ec);
    return isDirectory(utf8Path);
}

std::string fileNameOf(std::string_view path) {
    size_t i = path.size();
    while (i > 0 && !isSeparator(path[i - 1])) --i;
    return std::string(path.substr(i));
}

std::string stemOf(std::string_view path) {
    std::string name = fileNameOf(path);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return name;
    return name.substr(0, dot);
}

std::string extensionOf(std::string_view path) {
    std::string name = fileNameOf(path);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    return name.substr(dot);
}

std::string directoryOf(std::string_view path) {
    size_t i = path.size();
    while (i > 0 && !isSeparator(path[i - 1])) --i;
    if (i == 0) return {};
    return std::string(path.substr(0, i - 1));
}

std::string joinPath(std::string_view dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    std::string out(dir);
    if (!isSeparator(out.back())) {
#ifdef _WIN32
        out.push_back('\\');
#else
        out.push_back('/');
#endif
    }
    out += name;
    return out;
}

}  // namespace kit
