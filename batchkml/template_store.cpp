#include "batchkml/template_store.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <optional>

#include "batchkml/template_scan.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/number_parse.h"

namespace kit {

using namespace tmplscan;

namespace {

// A cursor over templates.json. Every step consumes at least one byte or
// ends a loop, so a scan is linear in the text whatever it holds.
class Scanner {
public:
    explicit Scanner(std::string_view text) : t_(text) {}

    bool atEnd() const { return p_ >= t_.size(); }
    char peek() const { return atEnd() ? '\0' : t_[p_]; }
    void skip() { ++p_; }
    void blanks() { p_ = skipBlanks(t_, p_); }
    void seek(size_t p) { p_ = p; }

    // A quoted string with \" \\ \n \r \t (any other escaped byte as itself);
    // anything but '"' gives "" and consumes nothing.
    std::string string() {
        std::string out;
        if (peek() != '"') return out;
        ++p_;
        while (!atEnd() && t_[p_] != '"') {
            char c = t_[p_++];
            if (c == '\\' && !atEnd()) {
                c = t_[p_++];
                if (c == 'n') c = '\n';
                else if (c == 'r') c = '\r';
                else if (c == 't') c = '\t';
            }
            out += c;
        }
        if (!atEnd()) ++p_;
        return out;
    }

    // An optional '-' and a run of digits and points; 0 when empty or unreadable.
    double number() {
        size_t start = p_;
        if (peek() == '-') ++p_;
        while (!atEnd() && (std::isdigit(static_cast<unsigned char>(t_[p_])) || t_[p_] == '.')) ++p_;
        double v = toNumberOr(t_.substr(start, p_ - start), 0);
        return std::isfinite(v) ? v : 0;
    }

    // A key string and its ':' (blanks around). A stray character where a
    // key should start is consumed alone and gives nothing.
    std::optional<std::string> key() {
        if (peek() != '"') {
            skip();
            return std::nullopt;
        }
        std::string k = string();
        blanks();
        if (peek() == ':') skip();
        blanks();
        return k;
    }

    // Skips a value the scanner has no use for, as a whole: a string, a
    // bracketed or braced group, or a bare word up to the next , } or ].
    void skipValue() {
        blanks();
        char c = peek();
        if (c == '"') {
            string();
        } else if (c == '[' || c == '{') {
            int depth = 0;
            while (!atEnd()) {
                char d = t_[p_];
                if (d == '"') {
                    p_ = stringEnd(t_, p_);
                    continue;
                }
                ++p_;
                if (d == '[' || d == '{') ++depth;
                else if ((d == ']' || d == '}') && --depth == 0) break;
            }
        } else {
            while (!atEnd() && t_[p_] != ',' && t_[p_] != '}' && t_[p_] != ']') ++p_;
        }
    }

    // The position just after `"key":`, skipping occurrences not followed by ':'.
    size_t findKey(std::string_view key) const { return findKeyColon(t_, key, 0, t_.size()); }

private:
    std::string_view t_;
    size_t p_ = 0;
};

// Each number cut to an int the way a C cast on x86 does (out of range gives
// INT_MIN), then masked into its byte.
RangeColor colorOf(double r, double g, double b) {
    auto cut = [](double v) -> int64_t {
        if (!(v > -2147483649.0 && v < 2147483648.0)) return INT32_MIN;
        return static_cast<int64_t>(v);
    };
    return static_cast<RangeColor>((cut(r) & 255) + ((cut(g) << 8) & 65535) + ((cut(b) << 16) & 16777215));
}

ColorRange readRange(Scanner& s) {
    ColorRange r;
    for (;;) {
        s.blanks();
        char c = s.peek();
        if (s.atEnd() || c == ']') return r;  // a missing '}': leave the ']' to the list
        if (c == ',') {
            s.skip();
            continue;
        }
        if (c == '}') {
            s.skip();
            return r;
        }
        auto k = s.key();
        if (!k) continue;
        if (*k == "min") {
            r.min = s.number();
        } else if (*k == "max") {
            r.max = s.number();
        } else if (*k == "color") {
            while (!s.atEnd() && s.peek() != '[' && s.peek() != '}') s.skip();
            if (s.peek() != '[') continue;
            s.skip();
            double rgb[3] = {0, 0, 0};
            for (int i = 0; i < 3; ++i) {
                s.blanks();
                if (i > 0 && s.peek() == ',') {
                    s.skip();
                    s.blanks();
                }
                rgb[i] = s.number();
            }
            while (!s.atEnd() && s.peek() != ']' && s.peek() != '}') s.skip();
            if (s.peek() == ']') s.skip();
            r.color = colorOf(rgb[0], rgb[1], rgb[2]);
        } else {
            s.skipValue();
        }
    }
}

// Keeps the first kMaxRanges ranges, as many as the editor can show and the
// look-up should ever walk; the rest are read past and dropped.
void readRanges(Scanner& s, std::vector<ColorRange>& out) {
    s.blanks();
    if (s.peek() != '[') {
        s.skipValue();
        return;
    }
    s.skip();
    for (;;) {
        s.blanks();
        char c = s.peek();
        if (s.atEnd() || c == '}') return;  // a missing ']': leave the '}' to the template
        s.skip();
        if (c == ']') return;
        if (c != '{') continue;
        ColorRange r = readRange(s);
        if (out.size() < kMaxRanges) out.push_back(r);
    }
}

ColorTemplate readTemplate(Scanner& s) {
    ColorTemplate t;
    for (;;) {
        s.blanks();
        char c = s.peek();
        if (s.atEnd() || c == ']') return t;  // a missing '}': leave the ']' to the list
        if (c == ',') {
            s.skip();
            continue;
        }
        if (c == '}') {
            s.skip();
            return t;
        }
        auto k = s.key();
        if (!k) continue;
        if (*k == "name")
            t.name = s.string();
        else if (*k == "ranges")
            readRanges(s, t.ranges);
        else
            s.skipValue();
    }
}

}  // namespace

std::string templatesPath(std::string_view exeFolder) {
    return exeFolder.empty() ? std::string("templates.json") : joinPath(exeFolder, "templates.json");
}

std::string formatTemplates(const std::vector<ColorTemplate>& list, std::string_view lastUsed) {
    std::string out(kUtf8Bom);
    out += "{\n  \"last_used\": ";
    appendQuoted(out, lastUsed);
    out += ",\n  \"templates\": [\n";
    for (size_t i = 0; i < list.size(); ++i) {
        const ColorTemplate& t = list[i];
        out += "    {\n      \"name\": ";
        appendQuoted(out, t.name);
        out += ",\n      \"ranges\": [\n";
        for (size_t j = 0; j < t.ranges.size(); ++j) {
            const ColorRange& r = t.ranges[j];
            out += "        { \"min\": ";
            appendFixed(out, r.min, 6);
            out += ", \"max\": ";
            appendFixed(out, r.max, 6);
            out += ", \"color\": [";
            appendInt(out, colorRed(r.color));
            out += ", ";
            appendInt(out, colorGreen(r.color));
            out += ", ";
            appendInt(out, colorBlue(r.color));
            out += "] }";
            out += j + 1 < t.ranges.size() ? ",\n" : "\n";
        }
        out += "      ]\n    }";
        out += i + 1 < list.size() ? ",\n" : "\n";
    }
    out += "  ]\n}\n";
    return out;
}

std::vector<ColorTemplate> parseTemplates(std::string_view text, std::string& lastUsed) {
    text = dropBom(text);
    Scanner s(text);

    lastUsed = std::string(kDefaultLastUsed);
    if (size_t at = s.findKey("last_used"); at != std::string_view::npos) {
        s.seek(at);
        s.blanks();
        std::string name = s.string();
        if (!name.empty()) lastUsed = std::move(name);
    }

    size_t at = s.findKey("templates");
    if (at == std::string_view::npos) return builtinTemplates();
    size_t open = text.find('[', at);
    if (open == std::string_view::npos) return builtinTemplates();
    s.seek(open + 1);

    std::vector<ColorTemplate> kept;
    for (;;) {
        s.blanks();
        if (s.atEnd()) break;
        char c = s.peek();
        s.skip();
        if (c == ']') break;
        if (c != '{') continue;
        ColorTemplate t = readTemplate(s);
        if (!t.name.empty() && !t.ranges.empty()) kept.push_back(std::move(t));
    }
    if (kept.empty()) return builtinTemplates();
    return kept;
}

std::vector<ColorTemplate> loadTemplates(const std::string& path, std::string& lastUsed) {
    auto bytes = readFileBytes(path);
    if (!bytes) return builtinTemplates();
    return parseTemplates(*bytes, lastUsed);
}

bool saveTemplates(const std::string& path, const std::vector<ColorTemplate>& list, std::string_view lastUsed) {
    return writeFileBytes(path, formatTemplates(list, lastUsed));
}

}  // namespace kit
