#include "batchkml/csv_reader.h"

#include "core/ansi_text.h"
#include "core/file_io.h"
#include "core/text.h"

namespace kit {

namespace {

bool hasNonAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

bool startsWith(std::string_view bytes, std::string_view mark) {
    return bytes.size() >= mark.size() && bytes.substr(0, mark.size()) == mark;
}

}  // namespace

std::string decodeCsvBytes(std::string_view bytes) {
    if (startsWith(bytes, "\xEF\xBB\xBF") || startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF"))
        return wellFormedUtf8(decodeInputText(std::string(bytes)));
    // Without a mark: most programs now write UTF-8, and text in a legacy
    // code page is almost never valid UTF-8, so well-formed UTF-8 wins.
    if (!hasNonAscii(bytes) || isValidUtf8(bytes)) return std::string(bytes);
    return ansiToUtf8(bytes);
}

std::vector<std::string> splitCsvLine(std::string_view line) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    field.push_back('"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field.push_back(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(std::move(field));
            field.clear();
        } else if (c == '\r' || c == '\n') {
            break;
        } else {
            field.push_back(c);
        }
    }
    fields.push_back(std::move(field));
    return fields;
}

bool readCsvBytes(std::string_view bytes, DataTable& table) {
    const std::string text = decodeCsvBytes(bytes);
    table.headers.clear();
    table.rows.clear();
    bool first = true;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (first) {
            table.headers = splitCsvLine(line);
            first = false;
        } else {
            table.rows.push_back(splitCsvLine(line));
        }
    }
    return !table.headers.empty();
}

bool readCsv(const std::string& utf8Path, DataTable& table) {
    auto bytes = readFileBytes(utf8Path);
    if (!bytes || bytes->empty()) return false;
    bool ok = readCsvBytes(*bytes, table);
    table.sourcePath = utf8Path;
    return ok;
}

}  // namespace kit
