#include "batchkml/template_scan.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/number_parse.h"

namespace kit::tmplscan {

std::string_view dropBom(std::string_view text) {
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
    return text;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

size_t skipBlanks(std::string_view text, size_t pos) {
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    return pos;
}

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
}

size_t stringEnd(std::string_view text, size_t pos) {
    for (size_t i = pos + 1; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == '"')
            return i + 1;
    }
    return text.size();
}

namespace {

// Where a quoted text opening at pos ends for the brace scan: its closing
// quote, or the end of its line, since the files hold one value a line and
// older files wrote quotes inside names unescaped.
size_t quotedEndInLine(std::string_view text, size_t pos) {
    for (size_t i = pos + 1; i < text.size(); ++i) {
        if (text[i] == '\n') return i;
        if (text[i] == '\\') {
            if (i + 1 < text.size() && text[i + 1] == '\n') return i + 1;
            ++i;
        } else if (text[i] == '"') {
            return i + 1;
        }
    }
    return text.size();
}

size_t nextOutsideQuotes(std::string_view text, size_t i, char wanted) {
    while (i < text.size() && text[i] != wanted) i = text[i] == '"' ? quotedEndInLine(text, i) : i + 1;
    return i;
}

}  // namespace

ObjectSpan nextFlatObject(std::string_view text, size_t from) {
    if (from >= text.size()) return {text.size(), text.size()};
    const size_t open = nextOutsideQuotes(text, from, '{');
    if (open >= text.size()) return {text.size(), text.size()};
    return {open, nextOutsideQuotes(text, open + 1, '}')};
}

std::vector<ObjectSpan> flatObjects(std::string_view text) {
    std::vector<ObjectSpan> out;
    for (ObjectSpan obj = nextFlatObject(text, 0); obj.open < text.size(); obj = nextFlatObject(text, afterObject(obj)))
        out.push_back(obj);
    return out;
}

size_t findKeyColon(std::string_view text, std::string_view key, size_t from, size_t end) {
    // Searching only up to the object's end keeps a file of many objects
    // linear: a search that ran on to the next quote could cross them all.
    text = text.substr(0, std::min(end, text.size()));
    const size_t need = key.size() + 3;  // quote, key, quote, colon
    for (size_t q = text.find('"', from); q != std::string_view::npos && q + need <= text.size(); q = text.find('"', q + 1)) {
        if (text.substr(q + 1, key.size()) == key && text[q + 1 + key.size()] == '"' && text[q + 2 + key.size()] == ':')
            return q + need;
    }
    return std::string_view::npos;
}

bool objectHasKey(std::string_view text, const ObjectSpan& obj, std::string_view key) {
    return findKeyColon(text, key, obj.open, obj.close) != std::string_view::npos;
}

size_t countObjectsWithKey(std::string_view text, std::string_view key) {
    size_t n = 0;
    for (ObjectSpan obj = nextFlatObject(text, 0); obj.open < text.size(); obj = nextFlatObject(text, afterObject(obj)))
        n += objectHasKey(text, obj, key);
    return n;
}

std::string objectText(std::string_view text, const ObjectSpan& obj, std::string_view key) {
    size_t pos = findKeyColon(text, key, obj.open, obj.close);
    if (pos == std::string_view::npos) return {};
    size_t q = text.substr(0, obj.close).find('"', pos);
    if (q == std::string_view::npos) return {};
    std::string out;
    for (size_t i = q + 1; i < obj.close && text[i] != '"' && text[i] != '\n'; ++i) {
        if (text[i] == '\\' && i + 1 < obj.close && (text[i + 1] == '"' || text[i + 1] == '\\')) ++i;
        out += text[i];
    }
    return out;
}

double objectNumber(std::string_view text, const ObjectSpan& obj, std::string_view key) {
    size_t pos = findKeyColon(text, key, obj.open, obj.close);
    if (pos == std::string_view::npos) return 0;
    while (pos < obj.close && (isBlank(text[pos]) || text[pos] == ':')) ++pos;
    size_t start = pos;
    while (pos < obj.close && (std::isdigit(static_cast<unsigned char>(text[pos])) || text[pos] == '.' || text[pos] == '-'))
        ++pos;
    double v = toNumberOr(text.substr(start, pos - start), 0);
    return std::isfinite(v) ? v : 0;
}

int64_t truncToInt64(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 9.2e18) return INT64_MAX;
    if (v <= -9.2e18) return INT64_MIN;
    return static_cast<int64_t>(v);
}

}  // namespace kit::tmplscan
