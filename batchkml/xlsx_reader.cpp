#include "batchkml/xlsx_reader.h"

#include <cstdint>

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

std::vector<std::string> parseSharedStrings(std::string_view xml) {
    // One entry per <si> item, its rich-text runs joined, so later indices
    // stay aligned.
    std::vector<std::string> strings;
    size_t pos = 0;
    while ((pos = xml.find("<si", pos)) != npos) {
        if (!opensElement(xml, pos, "<si")) {
            pos += 3;
            continue;
        }
        size_t gt = xml.find('>', pos);
        if (gt == npos) break;
        if (xml[gt - 1] == '/') {
            strings.emplace_back();
            pos = gt + 1;
            continue;
        }
        size_t end = xml.find("</si>", gt + 1);
        if (end == npos) break;
        strings.push_back(joinedText(xml.substr(gt + 1, end - gt - 1)));
        pos = end + 5;
    }
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

bool readXlsxParts(const XlsxParts& parts, std::vector<std::string>& headers,
                   std::vector<std::vector<std::string>>& rows) {
    headers.clear();
    rows.clear();
    // Ill-formed UTF-8 is repaired up front (rarely needed, so no copy otherwise).
    std::string repairedShared, repairedSheet;
    std::string_view sharedXml = parts.sharedStrings, xml = parts.sheet;
    if (!isValidUtf8(sharedXml)) sharedXml = repairedShared = wellFormedUtf8(parts.sharedStrings);
    if (!isValidUtf8(xml)) xml = repairedSheet = wellFormedUtf8(parts.sheet);
    const std::vector<std::string> shared = parseSharedStrings(sharedXml);
    // Gaps before a far column are filled with empty cells; a small sheet
    // must not be able to ask for billions of them.
    const size_t cellBudget = xml.size() / 16 + (size_t{1} << 20);
    size_t cellsMade = 0;
    bool haveHeaders = false;
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

        std::vector<std::string> cells;
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
            std::string value = cellValue(openTag, body);
            auto type = attribute(openTag, "t");
            if (type && *type == "s" && !value.empty()) {
                auto index = parseLeadingInt32(value);
                if (index && *index >= 0 && static_cast<size_t>(*index) < shared.size()) value = shared[*index];
            }
            size_t col = static_cast<size_t>(column);
            if (cells.size() <= col) {
                cellsMade += col + 1 - cells.size();
                if (cellsMade > cellBudget) {
                    headers.clear();
                    rows.clear();
                    return false;
                }
                cells.resize(col + 1);
            }
            cells[col] = std::move(value);
        }
        if (cells.empty()) continue;
        if (!haveHeaders) {
            headers = std::move(cells);
            haveHeaders = true;
        } else {
            rows.push_back(std::move(cells));
        }
    }
    return haveHeaders;
}

bool readXlsx(const std::string& utf8Path, std::vector<std::string>& headers,
              std::vector<std::vector<std::string>>& rows) {
    headers.clear();
    rows.clear();
    XlsxParts parts;
    if (!unpackXlsx(utf8Path, parts)) return false;
    return readXlsxParts(parts, headers, rows);
}

}  // namespace kit
