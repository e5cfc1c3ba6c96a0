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
    // Replaced destination files are kept (KeptVersions) rather than lost; with versionsDays
    // above 0, versions kept longer ago than that are removed at the end of a run.
    bool keepVersions = false;
    int versionsDays = 0;
};

} // namespace tavelin
