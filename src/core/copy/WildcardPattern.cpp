#include "core/copy/WildcardPattern.h"

#include <array>
#include <unicode/uchar.h>

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

// Bytes that are not UTF-8 stand for themselves, above every character, so that they match
// only the same byte.
constexpr char32_t kStrayByte = 0x110000;

// Decodes UTF-8, folding case with ICU's simple (one character for one) case folding. A name
// is at most NAME_MAX bytes, so it never has more characters than it has bytes.
template <class Out> void decodeFolded(std::string_view s, Out out) {
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        if (lead < 0x80) {
            out(static_cast<char32_t>(lead >= 'A' && lead <= 'Z' ? lead - 'A' + 'a' : lead));
            ++i;
            continue;
        }
        const std::size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        char32_t c = len == 4 ? lead & 0x07 : len == 3 ? lead & 0x0F : lead & 0x1F;
        bool valid = len != 0 && i + len <= s.size() && lead < 0xF5;
        for (std::size_t k = 1; valid && k < len; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            valid = (b & 0xC0) == 0x80;
            c = (c << 6) | (b & 0x3F);
        }
        // Overlong forms and surrogates are not characters either.
        valid = valid && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF) &&
                c >= (len == 2   ? 0x80u
                      : len == 3 ? 0x800u
                                 : 0x10000u);
        if (!valid) {
            out(kStrayByte + lead);
            ++i;
            continue;
        }
        out(static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT)));
        i += len;
    }
}

std::u32string folded(std::string_view s) {
    std::u32string out;
    decodeFolded(s, [&](char32_t c) { out.push_back(c); });
    return out;
}

// No dot after the first character: a leading dot names a hidden file, not an extension.
bool hasNoExtension(std::string_view name) {
    return name.size() <= 1 || name.find('.', 1) == std::string_view::npos;
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
            Part p;
            if (part.size() >= 2 && part.ends_with(".*")) {
                p.orWithoutExtension = true;
            } else if (part.size() >= 2 && part.ends_with('.') && !part.ends_with("..")) {
                p.onlyWithoutExtension = true;
            }
            p.folded = folded(part);
            parts_.push_back(std::move(p));
        }
        start = end + 1;
    }
    if (parts_.empty()) {
        matchAll_ = true;
    }
}

Result<void> WildcardPattern::check(std::string_view text) {
    const auto slash = text.find_first_of("/\\");
    if (slash == std::string_view::npos) {
        return {};
    }
    return fail("pattern '" + std::string(text) + "' can never match a file name: it holds '" +
                text[slash] + "' (patterns match names within a folder; use --subfolders for " +
                "the folders below)");
}

bool WildcardPattern::matches(std::string_view name) const {
    if (matchAll_) {
        return true;
    }
    std::array<char32_t, 1024> buffer;
    std::size_t length = 0;
    std::u32string longName; // only for a name longer than any file system allows
    decodeFolded(name, [&](char32_t c) {
        if (length < buffer.size()) {
            buffer[length] = c;
        } else {
            if (longName.empty()) {
                longName.assign(buffer.begin(), buffer.end());
            }
            longName.push_back(c);
        }
        ++length;
    });
    const std::u32string_view n =
        longName.empty() ? std::u32string_view(buffer.data(), length) : longName;
    for (const auto& p : parts_) {
        const std::u32string_view pat = p.folded;
        if (p.onlyWithoutExtension) {
            if (hasNoExtension(name) && matchOne(pat.substr(0, pat.size() - 1), n)) {
                return true;
            }
            continue;
        }
        if (matchOne(pat, n) ||
            (p.orWithoutExtension && matchOne(pat.substr(0, pat.size() - 2), n))) {
            return true;
        }
    }
    return false;
}

bool WildcardPattern::matchOne(std::u32string_view pat, std::u32string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::u32string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pat.size() && pat[p] == U'*') {
            starP = ++p;
            starN = n;
            continue;
        }
        if (p < pat.size() && (pat[p] == U'?' || pat[p] == name[n])) {
            ++p;
            ++n;
            continue;
        }
        if (starP == std::u32string_view::npos) {
            return false;
        }
        // Let the last "*" swallow one more character and try again from there.
        n = ++starN;
        p = starP;
    }
    while (p < pat.size() && pat[p] == U'*') {
        ++p;
    }
    return p == pat.size();
}

} // namespace tavelin
