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

// File bytes to UTF-8, taking the bytes over when they already are.
std::string decodeCsvText(std::string bytes) {
    if (startsWith(bytes, "\xEF\xBB\xBF") || startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF"))
        return wellFormedUtf8(decodeInputText(std::move(bytes)));
    // Without a mark: most programs now write UTF-8, and text in a legacy
    // code page is almost never valid UTF-8, so well-formed UTF-8 wins.
    if (!hasNonAscii(bytes) || isValidUtf8(bytes)) return bytes;
    return ansiToUtf8(bytes);
}

// Splits text[begin, end) into fields, unquoting in place: a field never
// grows when its quotes go, so it is written over its own bytes and every
// cell is a span of the text.
template <class OnField>
void splitInPlace(std::string& text, size_t begin, size_t end, OnField onField) {
    size_t w = begin, fieldStart = begin;
    bool quoted = false;
    for (size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                text[w++] = c;
            } else if (i + 1 < end && text[i + 1] == '"') {
                text[w++] = '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            onField(CellSpan{fieldStart, w - fieldStart});
            fieldStart = w;
        } else if (c == '\r' || c == '\n') {
            break;
        } else {
            text[w++] = c;
        }
    }
    onField(CellSpan{fieldStart, w - fieldStart});
}

// Room for the cells ahead, counted from the text (a cell per comma and per
// line at most), so a long table never grows by doubling.
void reserveAhead(TableBuilder& b, std::string_view rest) {
    size_t commas = 0, lines = 1;
    for (char c : rest) {
        commas += c == ',';
        lines += c == '\n';
    }
    b.reserve(commas + lines, lines);
}

void readCsvText(std::string text, DataTable& table) {
    TableBuilder b(std::move(text));
    std::string& t = b.text();
    size_t pos = 0;
    while (pos < t.size()) {
        size_t end = t.find('\n', pos);
        if (end == std::string::npos) end = t.size();
        const size_t begin = pos;
        size_t lineEnd = end;
        pos = end + 1;
        if (lineEnd > begin && t[lineEnd - 1] == '\r') --lineEnd;
        if (lineEnd == begin) continue;
        // The header's cells first, then those of all later lines.
        if (!b.haveHeaders()) reserveAhead(b, std::string_view(t).substr(begin, lineEnd - begin));
        splitInPlace(t, begin, lineEnd, [&b](CellSpan cell) { b.addCell(cell); });
        const bool wasHeader = !b.haveHeaders();
        b.endRow();
        if (wasHeader && pos < t.size()) reserveAhead(b, std::string_view(t).substr(pos));
    }
    b.finish(table);
}

}  // namespace

std::string decodeCsvBytes(std::string_view bytes) { return decodeCsvText(std::string(bytes)); }

std::vector<std::string> splitCsvLine(std::string_view line) {
    std::string text(line);
    std::vector<std::string> fields;
    splitInPlace(text, 0, text.size(),
                 [&](CellSpan cell) { fields.push_back(text.substr(static_cast<size_t>(cell.start), static_cast<size_t>(cell.size))); });
    return fields;
}

bool readCsvBytes(std::string_view bytes, DataTable& table) {
    readCsvText(decodeCsvText(std::string(bytes)), table);
    return !table.headers.empty();
}

bool readCsv(const std::string& utf8Path, DataTable& table) {
    auto bytes = readFileBytes(utf8Path);
    if (!bytes || bytes->empty()) return false;
    readCsvText(decodeCsvText(std::move(*bytes)), table);
    table.sourcePath = utf8Path;
    return !table.headers.empty();
}

}  // namespace kit
