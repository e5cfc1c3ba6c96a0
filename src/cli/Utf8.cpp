#include "cli/Utf8.h"

namespace tavelin::cli {

std::size_t Utf8::sequenceAt(std::string_view s, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        return 1;
    }
    const auto at = [&](std::size_t k) -> unsigned char {
        return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0;
    };
    const auto cont = [](unsigned char b) { return (b & 0xC0) == 0x80; };
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        return cont(at(1)) ? 2 : 0;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        const unsigned char b1 = at(1);
        const bool ok =
            cont(b1) && cont(at(2)) && !(b0 == 0xE0 && b1 < 0xA0) && !(b0 == 0xED && b1 >= 0xA0);
        return ok ? 3 : 0;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        const unsigned char b1 = at(1);
        const bool ok = cont(b1) && cont(at(2)) && cont(at(3)) && !(b0 == 0xF0 && b1 < 0x90) &&
                        !(b0 == 0xF4 && b1 >= 0x90);
        return ok ? 4 : 0;
    }
    return 0;
}

} // namespace tavelin::cli
