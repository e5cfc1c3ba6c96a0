#pragma once

#include "core/util/Error.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavelin {

// File-name wildcards as a file dialog takes them: "*" any run of characters, "?" exactly one
// character, letters without regard to case (Unicode simple case folding). Several patterns
// are separated by ";" ("*.txt;*.doc"); blanks around each are ignored. An empty pattern
// matches every name. A trailing ".*" also matches a name without an extension, and a
// trailing "." matches only such names ("*." is every name without an extension).
class WildcardPattern {
  public:
    explicit WildcardPattern(std::string_view text);

    // A pattern that can never match a file name (it holds a folder separator) is refused.
    static Result<void> check(std::string_view text);

    bool matches(std::string_view name) const;
    bool matchesEverything() const { return matchAll_; }

  private:
    struct Part {
        std::u32string folded;
        // ".*" at the end: the part without it also matches (a name without an extension).
        bool orWithoutExtension = false;
        // "." at the end: the part without it, for names without an extension only.
        bool onlyWithoutExtension = false;
    };

    static bool matchOne(std::u32string_view pattern, std::u32string_view name);

    std::vector<Part> parts_;
    bool matchAll_ = false;
};

} // namespace tavelin
