#include "cli/TerminalText.h"

#include "cli/Utf8.h"

#include <cstdio>

namespace tavelin::cli {

namespace {

std::string hex(unsigned char byte) {
    char buf[5];
    std::snprintf(buf, sizeof buf, "\\x%02x", byte);
    return buf;
}

} // namespace

std::string TerminalText::escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t len = Utf8::sequenceAt(text, i);
        if (len == 0) {
            out += hex(byte);
            ++i;
        } else if (byte == '\n') {
            out += "\\n";
            ++i;
        } else if (byte == '\t') {
            out += "\\t";
            ++i;
        } else if (byte < 0x20 || byte == 0x7f) {
            out += hex(byte);
            ++i;
        } else if (len == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            // C1 controls (U+0080 to U+009F): some terminals act on them as on escapes.
            out += hex(byte) + hex(static_cast<unsigned char>(text[i + 1]));
            i += 2;
        } else {
            out.append(text.substr(i, len));
            i += len;
        }
    }
    return out;
}

std::size_t TerminalText::width(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text) {
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return n;
}

std::string TerminalText::shorten(std::string_view text, std::size_t columns) {
    if (width(text) <= columns || columns == 0) {
        return std::string(text);
    }
    std::string out;
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && ++n == columns) {
            break;
        }
        out += text[i];
    }
    return out + "\xE2\x80\xA6"; // …
}

} // namespace tavelin::cli
