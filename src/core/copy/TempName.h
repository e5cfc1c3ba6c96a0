#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tavelin {

// Names of the temporary files a copy writes before it renames them into place:
// ".tvl~" + 8 hex digits of the writing process + 8 hex digits of a counter.
// Short and of fixed length, so that a long destination name cannot push it past NAME_MAX.
class TempName {
  public:
    static constexpr std::size_t kLength = 21;

    static std::string make(pid_t pid, std::uint32_t counter);
    static bool isTemp(std::string_view name);
    static pid_t ownerOf(std::string_view name);
};

} // namespace tavelin
