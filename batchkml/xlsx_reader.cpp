#include "batchkml/xlsx_reader.h"

#include <cstdint>

#include "batchkml/data_table.h"
#include "core/ansi_text.h"
#include "core/number_parse.h"
#include "core/text.h"

namespace kit {

namespace {

constexpr size_t npos = std::string_view::npos;
// The widest sheet a spreadsheet program writes (column XFD).
constexpr int kMaxColumn = 16383;

// The value of attribute `name` inside an opening tag, or nullopt.
std::optional<std::string_view> attribute(std::string_view tag, std::string_view name) {
    size_t from = 0;
    while ((from = tag.find(name, from)) != npos) {
        size_t eq = from + name.size();
        bool startsName = from > 0 && (tag[from - 1] == ' ' || tag[from - 1] == '\t' || tag[from - 1] == '\n' ||
                                       tag[from - 1] == '\r');
        if (startsName && eq + 1 < tag.size() && tag[eq] == '=' && (tag[eq + 1] == '"' || tag[eq + 1] == '\'')) {
            size_t close = tag.find(tag[eq + 1], eq + 2);
            if (close == npos) return std::nullopt;
            return tag.substr(eq + 2, close - eq - 2);
        }
        from = eq;
    }
    return std::nullopt;
}

// True when `text` at `at` opens an element named exactly `name` ("<t" must
// not match "<tabColor").
bool opensElement(std::string_view text, size_t at, std::string_view name) {
    if (text.compare(at, name.size(), name) != 0) return false;
    size_t next = at + name.size();
    if (next >= text.size()) return false;
    char c = text[next];
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The text of every <t> element in `xml` (skipping phonetic runs), joined.
// A <t/> adds nothing.
std::string joinedText(std::string_view xml) {
    std::string out;
    size_t pos = 0;
    while ((pos = xml.find('<', pos)) != npos) {
        if (opensElement(xml, pos, "<rPh")) {
            size_t end = xml.find("</rPh>", pos);
            if (end == npos) break;
            pos = end + 6;
            continue;
        }
        if (!opensElement(xml, pos, "<t")) {
            ++pos;
            continue;
        }
        size_t gt = xml.find('>', pos);
        if (gt == npos) break;
        if (xml[gt - 1] == '/') {
            pos = gt + 1;
            continue;
        }
        size_t close = xml.find("</t>", gt + 1);
        if (close == npos) break;
        out += decodeXmlEntities(xml.substr(gt + 1, close - gt - 1));
        pos = close + 4;
    }
    return out;
}

// The content of one cell: its <v> for ordinary cells, its <is> text for an
// inline string; never anything beyond the cell's own end.
std::string cellValue(std::string_view openTag, std::string_view body) {
    auto type = attribute(openTag, "t");
    if (type && *type == "inlineStr") return joinedText(body);
    size_t v = body.find("<v>");
    if (v == npos) return {};
    size_t ve = body.find("</v>", v + 3);
    if (ve == npos) return {};
    return decodeXmlEntities(body.substr(v + 3, ve - v - 3));
}

}  // namespace

namespace {

// Calls take(text) for every <si> item, its rich-text runs joined, so that
// the n-th call is the string of index n.
template <class Take>
void eachSharedString(std::string_view xml, Take take) {
    size_t pos = 0;
    while ((pos = xml.find("<si", pos)) != npos) {
        if (!opensElement(xml, pos, "<si")) {
            pos += 3;
            continue;
        }
        size_t gt = xml.find('>', pos);
        if (gt == npos) break;
        if (xml[gt - 1] == '/') {
            take(std::string());
            pos = gt + 1;
            continue;
        }
        size_t end = xml.find("</si>", gt + 1);
        if (end == npos) break;
        take(joinedText(xml.substr(gt + 1, end - gt - 1)));
        pos = end + 5;
    }
}

}  // namespace

std::vector<std::string> parseSharedStrings(std::string_view xml) {
    std::vector<std::string> strings;
    eachSharedString(xml, [&](std::string text) { strings.push_back(std::move(text)); });
    return strings;
}

int columnOfReference(std::string_view reference) {
    long long column = 0;
    for (char c : reference) {
        int letter;
        if (c >= 'A' && c <= 'Z') {
            letter = c - 'A' + 1;
        } else if (c >= 'a' && c <= 'z') {
            letter = c - 'a' + 1;
        } else {
            break;
        }
        column = column * 26 + letter;
        if (column > kMaxColumn + 1) return -1;
    }
    return column == 0 ? 0 : static_cast<int>(column - 1);
}

bool readXlsxParts(const XlsxParts& parts, DataTable& table) {
    table.headers.clear();
    table.rows.clear();
    // Ill-formed UTF-8 is repaired up front (rarely needed, so no copy otherwise).
    std::string repairedShared, repairedSheet;
    std::string_view sharedXml = parts.sharedStrings, xml = parts.sheet;
    if (!isValidUtf8(sharedXml)) sharedXml = repairedShared = wellFormedUtf8(parts.sharedStrings);
    if (!isValidUtf8(xml)) xml = repairedSheet = wellFormedUtf8(parts.sheet);
    // The shared strings go into the table's text once; a cell showing one
    // is a span of that copy, however many cells show it.
    TableBuilder b;
    std::vector<CellSpan> shared;
    eachSharedString(sharedXml, [&](std::string text) { shared.push_back(b.append(text)); });
    // What the table may hold, in bytes: gaps before a far column are filled
    // with empty cells (a span each), and a small sheet must not be able to
    // ask for billions of them. A sparse but honest sheet stays well inside.
    const uint64_t budget = 8 * (uint64_t{xml.size()} + sharedXml.size()) + (uint64_t{64} << 20);
    auto withinBudget = [&](size_t rowCells) { return b.bytesHeld() + rowCells * sizeof(CellSpan) <= budget; };
    std::vector<CellSpan> cells;
    size_t pos = 0;
    while ((pos = xml.find("<row", pos)) != npos) {
        if (!opensElement(xml, pos, "<row")) {
            pos += 4;
            continue;
        }
        size_t rowGt = xml.find('>', pos);
        if (rowGt == npos) break;
        if (xml[rowGt - 1] == '/') {  // <row .../>: no cells
            pos = rowGt + 1;
            continue;
        }
        size_t rowEnd = xml.find("</row>", rowGt);
        if (rowEnd == npos) break;
        std::string_view row = xml.substr(rowGt + 1, rowEnd - rowGt - 1);
        pos = rowEnd + 6;

        cells.clear();
        size_t c = 0;
        while ((c = row.find("<c", c)) != npos) {
            if (!opensElement(row, c, "<c") || row[c + 2] == '>' || row[c + 2] == '/') {
                c += 2;
                continue;
            }
            size_t gt = row.find('>', c);
            if (gt == npos) break;
            std::string_view openTag = row.substr(c, gt - c);
            std::string_view body;
            if (row[gt - 1] == '/') {
                openTag.remove_suffix(1);
                c = gt + 1;
            } else {
                size_t end = row.find("</c>", gt + 1);
                if (end == npos) end = row.size();
                body = row.substr(gt + 1, end - gt - 1);
                c = end;
            }
            int column = 0;
            if (auto ref = attribute(openTag, "r")) column = columnOfReference(*ref);
            if (column < 0) continue;  // beyond the widest sheet
            const std::string value = cellValue(openTag, body);
            std::optional<CellSpan> span;
            auto type = attribute(openTag, "t");
            if (type && *type == "s" && !value.empty()) {
                auto index = parseLeadingInt32(value);
                if (index && *index >= 0 && static_cast<size_t>(*index) < shared.size()) span = shared[*index];
            }
            if (!span) span = b.append(value);
            const size_t col = static_cast<size_t>(column);
            if (cells.size() <= col) cells.resize(col + 1);
            if (!withinBudget(cells.size())) return false;
            cells[col] = *span;
        }
        if (cells.empty()) continue;
        for (const CellSpan& cell : cells) b.addCell(cell);
        b.endRow();
    }
    if (!b.haveHeaders()) return false;
    b.finish(table);
    return true;
}

bool readXlsx(const std::string& utf8Path, DataTable& table) {
    table.headers.clear();
    table.rows.clear();
    XlsxParts parts;
    if (!unpackXlsx(utf8Path, parts)) return false;
    return readXlsxParts(parts, table);
}

}  // namespace kit
