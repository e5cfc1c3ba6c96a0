#pragma once

#include "core/copy/FileFailure.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tavelin::cli {

// Just enough JSON output for the --json switches.
class Json {
  public:
    // A JSON string. Bytes that are not UTF-8 become \udc80 to \udcff (the byte plus U+DC00).
    static std::string quote(std::string_view text);
    // [{"path":...,"error":...}, ...]
    static void printFailures(std::ostream& out, const std::vector<FileFailure>& failures);
};

} // namespace tavelin::cli
