#include "CopyCommand.h"

#include "Arguments.h"
#include "Context.h"
#include "ExitCode.h"
#include "Json.h"
#include "Paths.h"
#include "ProgressLine.h"
#include "copy/CopyEngine.h"
#include "copy/RunSummary.h"
#include "platform/Fstab.h"
#include "platform/Volumes.h"
#include "util/Clock.h"

#include <ostream>

namespace tavelin::cli {

std::string CopyCommand::summary() const {
    return "copy newer and missing matching files from SOURCE to DESTINATION";
}

std::string CopyCommand::usage() const {
    return "usage: tavelin-cli copy SOURCE DESTINATION [--pattern P] [--subfolders]\n"
           "                        [--typed-destination] [--json]\n"
           "  --pattern P            file-name pattern, several separated by ';' (default *.*)\n"
           "  --subfolders           include the sub-folders\n"
           "  --typed-destination    take DESTINATION as typed: //server/share/folder (or\n"
           "                         \\\\server\\share\\folder) is the folder below where that\n"
           "                         share is mounted, and the run fails when it is not;\n"
           "                         the source folder's name is never recreated there\n"
           "  --json                 print one JSON object instead of the summary line\n";
}

int CopyCommand::run(const std::vector<std::string>& args, Context& context) {
    auto parsed =
        Arguments::parse(args, {"--subfolders", "--typed-destination", "--json"}, {"--pattern"});
    if (!parsed) {
        context.err << "tavelin-cli copy: " << parsed.error().message << "\n" << usage();
        return kUsage;
    }
    if (parsed->positionals().size() != 2) {
        context.err << "tavelin-cli copy: needs SOURCE and DESTINATION\n" << usage();
        return kUsage;
    }
    Selection selection;
    selection.sourceRoot = Paths::absolute(parsed->positionals()[0]);
    selection.typedDestination = parsed->has("--typed-destination");
    selection.destinationRoot = selection.typedDestination
                                    ? parsed->positionals()[1]
                                    : Paths::absolute(parsed->positionals()[1]);
    if (const auto* p = parsed->value("--pattern")) {
        selection.pattern = *p;
    }
    selection.subfolders = parsed->has("--subfolders");
    if (!selection.typedDestination) {
        // A drive the system mounts that is not there now: its empty mount point lies on
        // another disk, which must not receive the copy.
        const std::string missing = Fstab::unmountedFor(selection.destinationRoot,
                                                        context.fstabPath, context.volumes.list());
        if (!missing.empty()) {
            context.err << "tavelin-cli copy: cannot copy to '" << selection.destinationRoot
                        << "': " << missing << " is not mounted\n";
            return kUsage;
        }
    }

    const CopyEngine engine(context.volumes, context.fileOps);
    ProgressLine progress(context.err, context.errIsTerminal && !parsed->has("--json"),
                          context.stop);
    auto result = engine.RunCopy(selection, &progress);
    progress.finish();
    if (!result) {
        context.err << "tavelin-cli copy: " << result.error().message << "\n";
        return kUsage;
    }

    if (parsed->has("--json")) {
        context.out << "{\"scanned\":" << result->totals.totalFiles
                    << ",\"copied\":" << result->counters.filesCopied
                    << ",\"failed\":" << result->failures.size()
                    << ",\"bytes\":" << result->counters.bytesCopied
                    << ",\"folders\":" << result->counters.foldersDone << ",\"errors\":[";
        for (std::size_t i = 0; i < result->failures.size(); ++i) {
            const auto& f = result->failures[i];
            context.out << (i ? "," : "") << "{\"path\":" << Json::quote(f.path)
                        << ",\"error\":" << Json::quote(f.reason) << "}";
        }
        context.out << "]}\n";
    } else {
        context.out << RunSummary::line(context.clock.now(), result->totals.totalFiles,
                                        result->counters.filesCopied, result->counters.bytesCopied)
                    << "\n";
        for (const auto& f : result->failures) {
            context.out << f.path << ": " << f.reason << "\n";
        }
    }
    if (result->stopped) {
        context.err << "tavelin-cli copy: stopped before the end\n";
    }
    return result->succeeded() ? kDone : kFailures;
}

} // namespace tavelin::cli
