#include "cli/VersionOptions.h"

#include <string>

namespace tavelin::cli {

Result<VersionOptions> VersionOptions::from(const Arguments& args) {
    VersionOptions o;
    o.keep = args.has("--keep-versions");
    if (const auto* text = args.value("--versions-days")) {
        if (!o.keep) {
            return fail("--versions-days goes with --keep-versions");
        }
        std::size_t used = 0;
        try {
            o.days = std::stoi(*text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != text->size() || o.days < 1) {
            return fail("--versions-days needs a whole number of days, 1 or more");
        }
    }
    return o;
}

} // namespace tavelin::cli
