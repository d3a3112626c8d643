#pragma once
// Files, standard streams and column choices shared by the companions.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/outcome.h"
#include "core/table.h"

namespace kit::cli {

inline constexpr const char* kCannotOpen = "无法打开文件";
inline constexpr const char* kCannotWrite = "无法写入文件";
inline constexpr const char* kTooLarge = "文件过大或无效";

// The bytes of a file, or of standard input for "-" or an empty path, up to
// maxBytes: nothing when there are more (*tooLarge then says so) or they
// cannot be read.
std::optional<std::string> readInputBytes(const std::string& path, uint64_t maxBytes, bool* tooLarge);

// Reads an input table's text (byte-order marks handled) and parses it as
// clipboard text is. On failure prints the reason and returns the exit status
// in *status (1 unreadable or larger than kMaxTableFileBytes, 2 the get-data
// warning).
std::optional<Table> loadInputTable(const std::string& path, int* status);

// Writes text to the file, or to standard output for an empty path or "-".
bool writeOutput(const std::string& path, const std::string& text);

// Where writeOutput puts the result, as a success message names it: the
// file by its path, or standard output.
std::string outputDestination(const std::string& path);

// Prints a run's outcome the way every companion does: the result text to
// stdout or -o, the message to stderr. Returns the exit status.
int finishTextOutcome(const Outcome& outcome, const std::string& outputPath);

// One line on stderr.
void printError(const std::string& message);

// A column option: the header of that exact name, else a whole number >= 0 as
// a 0-based index. Returns the position, or nullopt after printing a usage
// error when it names no column.
std::optional<int> resolveColumn(const std::vector<std::string>& headers, const std::string& option,
                                 const std::string& text);
std::optional<int> resolveColumn(const HeaderNames& headers, const std::string& option, const std::string& text);

// resolveColumn when the option was given, else the detected position.
std::optional<int> columnOption(const Table& table, const std::optional<std::string>& given,
                                const std::string& option, int detected);

// Arguments as UTF-8 (on Windows from the wide command line).
std::vector<std::string> utf8Arguments(int argc, char** argv);
#ifdef _WIN32
std::vector<std::string> utf8Arguments(int argc, wchar_t** argv);
#endif

// The folder of the running program ("" when unknown).
std::string programFolder();

// Makes standard output and input binary (no CR LF translation on Windows).
void useBinaryStdio();

}  // namespace kit::cli
