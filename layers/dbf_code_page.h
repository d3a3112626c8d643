#pragma once
// Which code page a dBASE table's text is in: what its .cpg file names,
// else what its language byte says, else UTF-8 when the text is valid
// UTF-8, else the system's ANSI code page.
#include <cstdint>
#include <optional>
#include <string_view>

namespace kit {

// The Windows code page a .cpg file names, in the spellings ArcGIS, QGIS
// and GDAL write ("UTF-8", "936", "CP936", "GBK", "ANSI 1252", "8859_1",
// "ISO-8859-15", "BIG5", "LDID/77", ...); nothing for a name it does not know.
std::optional<unsigned> codePageFromCpg(std::string_view cpg);

// The code page of a dBASE language driver byte (header offset 29); nothing
// for 0 and bytes outside the table. The bytes that only say "Windows ANSI"
// (0x03, 0x57) give the system's ANSI code page.
std::optional<unsigned> codePageFromLanguageByte(uint8_t id);

// The code page to read the table's field names and values with; `cpg` is
// the .cpg file's text, empty when there is none.
unsigned dbfCodePage(std::string_view dbf, std::string_view cpg);

}  // namespace kit
