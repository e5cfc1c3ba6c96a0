#include "copy/WildcardPattern.h"

namespace tavelin {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Length of the UTF-8 sequence that starts at s[i]; a stray byte counts as one character.
std::size_t charLength(std::string_view s, std::size_t i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t len = 1;
    if (lead >= 0xF0) {
        len = 4;
    } else if (lead >= 0xE0) {
        len = 3;
    } else if (lead >= 0xC0) {
        len = 2;
    }
    std::size_t n = 1;
    while (n < len && i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80) {
        ++n;
    }
    return n;
}

} // namespace

WildcardPattern::WildcardPattern(std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view part = trimBlanks(text.substr(start, end - start));
        if (!part.empty()) {
            if (part == "*" || part == "*.*") {
                matchAll_ = true;
            }
            parts_.emplace_back(part);
        }
        start = end + 1;
    }
    if (parts_.empty()) {
        matchAll_ = true;
    }
}

bool WildcardPattern::matches(std::string_view name) const {
    if (matchAll_) {
        return true;
    }
    for (const auto& p : parts_) {
        if (matchOne(p, name)) {
            return true;
        }
        // "name.*" also matches "name": a trailing ".*" may stand for no extension at all.
        if (p.size() >= 2 && p.ends_with(".*") &&
            matchOne(std::string_view(p).substr(0, p.size() - 2), name)) {
            return true;
        }
    }
    return false;
}

bool WildcardPattern::matchOne(std::string_view pat, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pat.size() && pat[p] == '*') {
            starP = ++p;
            starN = n;
            continue;
        }
        if (p < pat.size() && pat[p] == '?') {
            ++p;
            n += charLength(name, n);
            continue;
        }
        if (p < pat.size() && foldAscii(pat[p]) == foldAscii(name[n])) {
            ++p;
            ++n;
            continue;
        }
        if (starP == std::string_view::npos) {
            return false;
        }
        // Let the last "*" swallow one more character and try again from there.
        starN += charLength(name, starN);
        n = starN;
        p = starP;
    }
    while (p < pat.size() && pat[p] == '*') {
        ++p;
    }
    return p == pat.size();
}

} // namespace tavelin
