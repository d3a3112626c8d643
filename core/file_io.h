#pragma once
// Whole-file reading and writing by UTF-8 path, working with non-ASCII names
// on Windows as well (there the path is widened and opened with _wfopen).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> readFileBytes(const std::string& utf8Path);
// Reads at most maxBytes; nothing when the file is larger or unreadable.
// tooLarge (when given) tells the two apart.
std::optional<std::string> readFileBytesLimited(const std::string& utf8Path, uint64_t maxBytes, bool* tooLarge);
// Replaces the file with the bytes; false on any failure. The bytes go to a
// temporary file beside it that takes its name only once whole, so a failed
// write keeps the old file and leaves no temporary behind.
bool writeFileBytes(const std::string& utf8Path, std::string_view bytes);
struct FileToWrite {
    std::string path;
    std::string_view bytes;
};
// Files that belong together (a Shapefile's .shp, .shx and .dbf), replaced as
// writeFileBytes does; every one is whole on the disk before the first
// replaces its target, so a failed write keeps every old file.
bool writeFilesTogether(const std::vector<FileToWrite>& files);

// One file written piece by piece, for texts too large to hold whole, with
// writeFileBytes's safety: the pieces go to a temporary beside the target,
// which close() moves over it once whole.
class FileWriter {
public:
    explicit FileWriter(const std::string& utf8Path);
    // An unfinished file is abandoned: the target stays as it was.
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    bool write(std::string_view bytes);
    // Puts the file in place; true when it was opened and every piece reached it.
    bool close();

private:
    std::string target_;
    std::string temporary_;  // empty when writing in place (a device or pipe)
    int fd_ = -1;
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
