#pragma once

#include <string>
#include <string_view>

namespace tavelin::cli {

// Just enough JSON output for the --json switches.
class Json {
  public:
    static std::string quote(std::string_view text);
};

} // namespace tavelin::cli
