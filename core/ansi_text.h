#pragma once
// Text in a Windows code page to UTF-8: on Windows through the system's
// converter (core/win/system/ansi_text_win.cpp), elsewhere through iconv,
// where the system's ANSI code page is taken to be GB18030.
#include <string>
#include <string_view>

namespace kit {

inline constexpr unsigned kAnsiCodePage = 0;  // the system's ANSI code page
inline constexpr unsigned kUtf8CodePage = 65001;

// One converter from a code page, kept open over many texts (a table holds
// millions of cells). Not for use by two threads at once.
class CodePageText {
public:
    explicit CodePageText(unsigned codePage);
    ~CodePageText();
    CodePageText(const CodePageText&) = delete;
    CodePageText& operator=(const CodePageText&) = delete;

    unsigned codePage() const { return codePage_; }
    // ASCII text comes back as it is; UTF-8 is only made well-formed; an
    // invalid byte becomes U+FFFD.
    std::string toUtf8(std::string_view bytes) const;

private:
    std::string convert(std::string_view bytes) const;  // the platform's part
    unsigned codePage_;
    void* handle_ = nullptr;  // iconv's descriptor off Windows
};

std::string ansiToUtf8(std::string_view bytes);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates
// or values above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// True when every byte is below 0x80.
bool isAscii(std::string_view bytes);

// The text unchanged when it is well-formed UTF-8; otherwise every ill-formed
// sequence replaced by U+FFFD, so cells never carry bytes that would make
// the XML written from them malformed.
std::string wellFormedUtf8(std::string text);

}  // namespace kit
