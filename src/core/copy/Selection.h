#pragma once

#include <string>

namespace tavelin {

// What a run copies: the window's selection, or a task's stored one.
struct Selection {
    std::string sourceRoot;
    std::string destinationRoot;
    std::string pattern = "*.*";
    bool subfolders = false;
    // The destination is a typed (network) path, taken as typed.
    bool typedDestination = false;
};

} // namespace tavelin
