#pragma once

#include <string>
#include <string_view>

namespace tavelin {

class Volumes;

// Every rule about folder paths lives here, so that another platform only swaps the separator
// and what counts as a drive root.
class PathRules {
  public:
    static constexpr char kSeparator = '/';

    explicit PathRules(const Volumes& volumes) : volumes_(volumes) {}

    // The folder that receives the contents of `sourceRoot`.
    // Into a drive root (a mount point) the source folder's own name is recreated;
    // into any other folder the contents go straight in. A typed (network) destination is
    // taken as typed and never gets the source folder's name.
    std::string destinationBase(const std::string& sourceRoot, const std::string& destinationRoot,
                                bool typedDestination) const;

    // Repeated separators collapsed, a trailing separator dropped (the root keeps its own).
    static std::string normalized(std::string_view path);
    static std::string join(std::string_view folder, std::string_view name);
    // The last name of a folder path; empty for the root.
    static std::string folderName(std::string_view path);
    // True when `path` is `folder` or lies below it (both normalized first).
    static bool isSameOrInside(std::string_view path, std::string_view folder);

  private:
    const Volumes& volumes_;
};

} // namespace tavelin
