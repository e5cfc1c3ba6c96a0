#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavelin {

// File-name wildcards as a file dialog takes them: "*" any run of characters, "?" exactly one
// character, ASCII letters without regard to case. Several patterns are separated by ";"
// ("*.txt;*.doc"); blanks around each are ignored. An empty pattern matches every name.
class WildcardPattern {
  public:
    explicit WildcardPattern(std::string_view text);

    bool matches(std::string_view name) const;
    bool matchesEverything() const { return matchAll_; }

  private:
    static bool matchOne(std::string_view pattern, std::string_view name);

    std::vector<std::string> parts_;
    bool matchAll_ = false;
};

} // namespace tavelin
