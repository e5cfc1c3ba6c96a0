#pragma once

#include <string>

namespace tavelin {

class Volumes;

// Where a run's files go: the rule that tells a drive root from any other folder.
class PathRules {
  public:
    explicit PathRules(const Volumes& volumes) : volumes_(volumes) {}

    // The folder that receives the contents of `sourceRoot`.
    // Into a drive root (a mount point) the source folder's own name is recreated;
    // into any other folder the contents go straight in. A typed (network) destination is
    // taken as typed and never gets the source folder's name.
    std::string destinationBase(const std::string& sourceRoot, const std::string& destinationRoot,
                                bool typedDestination) const;

  private:
    const Volumes& volumes_;
};

} // namespace tavelin
