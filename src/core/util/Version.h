#pragma once

#include <string>

namespace tavelin {

// The program's version: 1.7.0, shown as "1.07" in version texts and "1.7" in the About window.
class Version {
  public:
    static int major() { return TAVELIN_VERSION_MAJOR; }
    static int minor() { return TAVELIN_VERSION_MINOR; }
    static std::string text();
    static std::string shortText();
};

} // namespace tavelin
