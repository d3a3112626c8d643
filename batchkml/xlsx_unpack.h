#pragma once
// Getting the two parts the workbook reader needs out of an .xlsx archive.
// The built-in reader does it in memory; a program may install other ways to
// try first (the Windows program: the system's own unpacking tools).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kit {

// Each part read must be below 100 MiB.
constexpr uint64_t kXlsxPartLimit = 104857600;

struct XlsxParts {
    std::string sharedStrings;  // xl/sharedStrings.xml; empty when the workbook has none
    std::string sheet;          // the first of xl/worksheets/sheet1.xml ... sheet10.xml
};

enum class PartStatus { Found, Missing, Unusable };  // Unusable: too large or corrupt

// Reads one member by its name inside the archive ("xl/sharedStrings.xml").
using PartReader = std::function<PartStatus(std::string_view name, std::string& bytes)>;

// Fills the parts through the reader: the shared strings when present, and
// the first sheet among sheet1 ... sheet10 that exists. False when no sheet
// exists or a part is unusable.
bool collectXlsxParts(const PartReader& read, XlsxParts& parts);

// The built-in way: reads the archive whole into memory and takes only the
// members needed. False on any failure.
bool unpackXlsxBuiltIn(const std::string& utf8Path, XlsxParts& parts);

// One way of unpacking, true when it filled the parts.
using XlsxUnpacker = std::function<bool(const std::string& utf8Path, XlsxParts& parts)>;

// A way tried before the built-in one (none by default). The Windows program
// installs the system tools here at start-up.
void setSystemXlsxUnpacker(XlsxUnpacker unpacker);

// The system way when installed and it succeeds, else the built-in way.
bool unpackXlsx(const std::string& utf8Path, XlsxParts& parts);

}  // namespace kit
