#pragma once

#include <cstddef>
#include <string_view>

namespace tavelin::cli {

// File names are bytes; most are UTF-8, some are not. Output tells the two apart.
class Utf8 {
  public:
    // Length of the well-formed UTF-8 sequence at text[i] (no overlong forms, no surrogates);
    // 0 when the byte there starts none.
    static std::size_t sequenceAt(std::string_view text, std::size_t i);
};

} // namespace tavelin::cli
