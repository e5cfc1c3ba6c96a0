#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace tavelin {

// Replaced destination files kept in a folder of their own, `.tavelin-versions`, inside the
// folder the files are copied into, with the same sub-folders. A kept version is the old file
// itself (a second name for it, made before the new file takes its place), named after the
// original with the replaced file's time before the extension: "report 2026-12-11 101500.txt".
class KeptVersions {
  public:
    static constexpr std::string_view kFolder = ".tavelin-versions";

    // The name of a kept version of `name` last changed at `modified` (local time); `counter`
    // above 1 tells apart two versions of one second: "report 2026-12-11 101500 (2).txt".
    static std::string versionName(std::string_view name, std::time_t modified, int counter = 1);

    // Removes the kept versions under `base`/.tavelin-versions that were kept more than
    // `days` days before `now` (the only files this program ever deletes, and only when asked).
    // Returns how many went.
    static int prune(const std::string& base, int days, std::int64_t now);
};

} // namespace tavelin
