#pragma once

#include "core/util/LocalDateTime.h"

#include <cstdint>
#include <string>

namespace tavelin {

// The one-line summary shown after a run, in the program's own words.
class RunSummary {
  public:
    // "Last run @ <dd.mm.yyyy hh:mm:ss> -:- <N> Files Scaned -:- <M> Files copied -:- Copy Size
    // = <size> Bytes"
    static std::string line(const LocalDateTime& when, std::int64_t totalFiles,
                            std::int64_t filesCopied, const std::string& sizeText);
    static std::string line(const LocalDateTime& when, std::int64_t totalFiles,
                            std::int64_t filesCopied, std::int64_t bytesCopied);
};

} // namespace tavelin
