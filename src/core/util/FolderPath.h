#pragma once

#include <string>
#include <string_view>

namespace tavelin {

// Path text and folder creation, shared by every layer that stores files somewhere.
class FolderPath {
  public:
    static constexpr char kSeparator = '/';

    // Repeated separators collapsed, a trailing separator dropped (the root keeps its own).
    static std::string normalized(std::string_view path);
    static std::string join(std::string_view folder, std::string_view name);
    // The last name of a folder path; empty for the root.
    static std::string folderName(std::string_view path);
    // The folder that holds `path`; empty when it has none.
    static std::string parentOf(std::string_view path);
    // True when `path` is `folder` or lies below it (both normalized first).
    static bool isSameOrInside(std::string_view path, std::string_view folder);

    // Creates a folder and any missing parents. Returns 0, or the errno value of the level that
    // failed, so the message names the real cause (a parent without write permission, not "No
    // such file or directory" for the levels below it).
    static int makeFullPath(const std::string& folder, unsigned mode = 0777);
    // Like makeFullPath, and names the level that failed in `failedAt`.
    static int makeFullPath(const std::string& folder, unsigned mode, std::string& failedAt);
};

} // namespace tavelin
