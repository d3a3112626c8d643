#pragma once
// The pieces the three template files share: writing a quoted text with its
// two escapes, and the tolerant scanning of hand-editable files (objects
// found by their braces, keys looked for inside their own object).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kit::tmplscan {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view dropBom(std::string_view text);
bool isBlank(char c);  // space, tab, CR, LF
size_t skipBlanks(std::string_view text, size_t pos);

// '"' + text with '"' and '\' escaped by a backslash + '"'.
void appendQuoted(std::string& out, std::string_view text);

// The byte after the closing quote of the string opening at pos (which must
// be '"'), honouring backslash escapes; text.size() when unterminated.
size_t stringEnd(std::string_view text, size_t pos);

// A '{' ... '}' object at the outer level, braces inside strings ignored.
struct ObjectSpan {
    size_t open;   // the '{'
    size_t close;  // the '}' closing it (or text.size() when unterminated)
};
// Every object found by scanning for the next '{' and then the next '}'
// after it (not nested: the settings files hold flat objects). Braces inside
// a quoted text do not count; a quoted text ends at the latest at its line's end.
std::vector<ObjectSpan> flatObjects(std::string_view text);
// The first such object at or after `from`; open == text.size() when none.
// Lets a reader walk the objects without holding all their spans.
ObjectSpan nextFlatObject(std::string_view text, size_t from);
// Where the object after `obj` is looked for.
inline size_t afterObject(const ObjectSpan& obj) { return obj.close + 1; }

// The position just after `"key":` inside [from, end), or npos.
size_t findKeyColon(std::string_view text, std::string_view key, size_t from, size_t end);
// Whether `"key":` occurs inside the object.
bool objectHasKey(std::string_view text, const ObjectSpan& obj, std::string_view key);
// How many objects hold `"key":`, so that a reader can reserve exactly.
size_t countObjectsWithKey(std::string_view text, std::string_view key);
// The text of `"key": "value"` inside the object: the next '"' after the key
// up to the closing unescaped '"' or the line's end, with \" and \\ read
// back (any other backslash stays as written). Empty when the key is missing.
std::string objectText(std::string_view text, const ObjectSpan& obj, std::string_view key);
// The number of `"key": number`: after blanks and colons, the run of digits,
// points and minus signs as a decimal; 0 when missing or not a number.
double objectNumber(std::string_view text, const ObjectSpan& obj, std::string_view key);
// A double cut to an integer, out-of-range values giving the nearest limit.
int64_t truncToInt64(double v);

}  // namespace kit::tmplscan
