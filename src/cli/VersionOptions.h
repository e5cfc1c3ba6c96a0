#pragma once

#include "cli/Arguments.h"
#include "core/util/Error.h"

namespace tavelin::cli {

// --keep-versions and --versions-days N, as copy and tasks add take them.
struct VersionOptions {
    bool keep = false;
    int days = 0; // 0: kept versions are never removed

    static constexpr const char* kHelp =
        "  --keep-versions        keep each replaced destination file in .tavelin-versions\n"
        "                         (same sub-folders; its time added to its name)\n"
        "  --versions-days N      with --keep-versions: remove versions kept more than N days\n"
        "                         ago at the end of a run (the only thing ever deleted)\n";

    static Result<VersionOptions> from(const Arguments& args);
};

} // namespace tavelin::cli
