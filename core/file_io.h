#pragma once
// Whole-file reading and writing by UTF-8 path, working with non-ASCII names
// on Windows as well (there the path is widened and opened with _wfopen).
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace kit {

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> readFileBytes(const std::string& utf8Path);
// Reads at most maxBytes; nothing when the file is larger or unreadable.
// tooLarge (when given) tells the two apart.
std::optional<std::string> readFileBytesLimited(const std::string& utf8Path, uint64_t maxBytes, bool* tooLarge);
// Replaces the file with the bytes; false on any failure.
bool writeFileBytes(const std::string& utf8Path, std::string_view bytes);
// Replaces the file with the prefix followed by the bytes (no joined copy of
// a large text); false on any failure.
bool writeFileBytes(const std::string& utf8Path, std::string_view prefix, std::string_view bytes);
// Writes a temporary file beside the target and then renames it over the
// target, so a failure part-way leaves the old file whole. False on failure
// (the temporary is removed).
bool replaceFileBytes(const std::string& utf8Path, std::string_view bytes);

// A file written piece by piece, for texts too large to hold whole.
class FileWriter {
public:
    explicit FileWriter(const std::string& utf8Path);  // creates or truncates
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    bool write(std::string_view bytes);
    // True when the file was opened and every piece reached it.
    bool close();

private:
    std::FILE* file_ = nullptr;
    bool ok_ = true;
};

bool fileExists(const std::string& utf8Path);
bool isDirectory(const std::string& utf8Path);
bool createDirectories(const std::string& utf8Path);

// Name helpers on UTF-8 paths; both separators are accepted.
std::string fileNameOf(std::string_view path);  // "a/b/c.txt" -> "c.txt"
std::string stemOf(std::string_view path);      // "a/b/c.txt" -> "c"
std::string extensionOf(std::string_view path); // "a/b/c.TXT" -> ".TXT" ("" if none)
std::string directoryOf(std::string_view path); // "a/b/c.txt" -> "a/b" ("" if none)
std::string joinPath(std::string_view dir, std::string_view name);

}  // namespace kit
