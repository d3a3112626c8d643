#pragma once
// Small text helpers shared by the three KML writers and their runs.
#include <functional>
#include <string>
#include <string_view>

namespace kit {

// The public host that globe viewers resolve for the standard KML icon paths
// ("/mapfiles/kml/...").
inline constexpr std::string_view kIconHostBase = "http://maps.google.com";

// Creates or overwrites the file with a UTF-8 byte-order mark and the text;
// false when the file cannot be written.
bool writeTextFileUtf8(const std::string& path, std::string_view text);

// Receives a long text in pieces; false stops the producer.
using TextSink = std::function<bool(std::string_view piece)>;
// writeTextFileUtf8 for a text handed over in pieces by produce (which
// returns false when the sink refused a piece).
bool writeTextFileUtf8(const std::string& path, const std::function<bool(const TextSink&)>& produce);

// A document built piece by piece: writers append to text() and call
// flushWhenFull() between items, so a long document is never held whole.
class KmlPieces {
public:
    explicit KmlPieces(const TextSink& sink);
    std::string& text() { return out_; }
    // Hands the text to the sink once it passes about a megabyte; false when
    // the sink refused it.
    bool flushWhenFull();
    // Hands over what is left; false when the sink refused it.
    bool finish();

private:
    const TextSink& sink_;
    std::string out_;
};

// The pieces a producer hands over, joined.
std::string wholeDocument(const std::function<bool(const TextSink&)>& produce);

// After the last '\' or '/', without the last '.' and what follows.
std::string fileStem(std::string_view path);
// Before the last '\' or '/' ("" when there is none).
std::string folderOf(std::string_view path);

// &, <, > and " as entities; apostrophes stay.
void appendXmlEscaped(std::string& out, std::string_view text);
std::string xmlEscaped(std::string_view text);

// The first lines every KML of the kit starts with, up to "<Document>" and
// the document's <name> (the escaped stem of the source path).
void appendKmlHead(std::string& out, std::string_view sourcePath);
// "</Document>" and "</kml>".
void appendKmlTail(std::string& out);

}  // namespace kit
