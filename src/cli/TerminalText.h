#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavelin::cli {

// Text from file and task names made safe to print on a terminal: control characters (escape
// sequences, new lines) and bytes that are not UTF-8 never reach it raw.
class TerminalText {
  public:
    // Control characters and stray bytes as \xNN (a new line as \n, a tab as \t, a backslash
    // stays as it is).
    static std::string escape(std::string_view text);
    // At most `columns` characters: a longer text ends in "…".
    static std::string shorten(std::string_view text, std::size_t columns);
    // Characters (not bytes) of UTF-8 text.
    static std::size_t width(std::string_view text);
};

} // namespace tavelin::cli
