#include "core/copy/TempName.h"

#include <cstdio>

namespace tavelin {

namespace {
constexpr std::string_view kPrefix = ".tvl~";

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}
} // namespace

std::string TempName::make(pid_t pid, std::uint32_t counter) {
    char buf[kLength + 1];
    std::snprintf(buf, sizeof buf, ".tvl~%08x%08x", static_cast<unsigned>(pid), counter);
    return buf;
}

bool TempName::isTemp(std::string_view name) {
    if (name.size() != kLength || !name.starts_with(kPrefix)) {
        return false;
    }
    for (std::size_t i = kPrefix.size(); i < name.size(); ++i) {
        if (!isHex(name[i])) {
            return false;
        }
    }
    return true;
}

pid_t TempName::ownerOf(std::string_view name) {
    unsigned value = 0;
    for (std::size_t i = kPrefix.size(); i < kPrefix.size() + 8; ++i) {
        const char c = name[i];
        value = value * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    return static_cast<pid_t>(value);
}

} // namespace tavelin
