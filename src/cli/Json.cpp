#include "cli/Json.h"

#include "cli/Utf8.h"

#include <cstdio>
#include <ostream>

namespace tavelin::cli {

std::string Json::quote(std::string_view text) {
    std::string out = "\"";
    char buf[8];
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t len = Utf8::sequenceAt(text, i);
        if (len == 0) {
            // Not UTF-8: the byte as a lone low surrogate, U+DC80 to U+DCFF, so the name can be
            // restored exactly (no text that is UTF-8 ever holds one).
            std::snprintf(buf, sizeof buf, "\\udc%02x", static_cast<unsigned char>(c));
            out += buf;
            ++i;
            continue;
        }
        if (len > 1) {
            out.append(text.substr(i, len));
            i += len;
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
                out += buf;
            } else {
                out += c;
            }
        }
        ++i;
    }
    out += '"';
    return out;
}

void Json::printFailures(std::ostream& out, const std::vector<FileFailure>& failures) {
    out << "[";
    for (std::size_t i = 0; i < failures.size(); ++i) {
        out << (i ? "," : "") << "{\"path\":" << quote(failures[i].path)
            << ",\"error\":" << quote(failures[i].reason) << "}";
    }
    out << "]";
}

} // namespace tavelin::cli
