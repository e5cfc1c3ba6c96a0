#include "cli/CopyCommand.h"

#include "cli/Arguments.h"
#include "cli/Context.h"
#include "cli/ExitCode.h"
#include "cli/Json.h"
#include "cli/Paths.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalText.h"
#include "cli/VersionOptions.h"
#include "core/copy/CopyEngine.h"
#include "core/copy/RunSummary.h"
#include "core/copy/WildcardPattern.h"
#include "core/platform/Fstab.h"
#include "core/platform/Volumes.h"
#include "core/util/Clock.h"

#include <ostream>

namespace tavelin::cli {

std::string CopyCommand::summary() const {
    return "copy newer and missing matching files from SOURCE to DESTINATION";
}

std::string CopyCommand::usage() const {
    return "usage: tavelin-cli copy SOURCE DESTINATION [--pattern P] [--subfolders]\n"
           "                        [--typed-destination] [--keep-versions [--versions-days N]]\n"
           "                        [--dry-run] [--json]\n"
           "  --pattern P            file-name pattern, several separated by ';' (default *.*);\n"
           "                         letters match without regard to case; '*.' is every name\n"
           "                         without an extension\n"
           "  --subfolders           include the sub-folders\n"
           "  --typed-destination    take DESTINATION as typed: //server/share/folder (or\n"
           "                         \\\\server\\share\\folder) is the folder below where that\n"
           "                         share is mounted, and the run fails when it is not;\n"
           "                         the source folder's name is never recreated there\n" +
           std::string(VersionOptions::kHelp) +
           "  --dry-run              list the files that would be copied, one a line; write\n"
           "                         nothing\n"
           "  --json                 print one JSON object instead of the summary line (with\n"
           "                         --dry-run it adds \"would_copy\")\n"
           "The summary line and JSON go to standard output; each failed file goes to\n"
           "standard error with its reason. Exit status: 0 done, 1 some files failed, 2 bad\n"
           "usage or input, 3 stopped before the end.\n";
}

namespace {

// The selection the arguments describe; the error names the first thing wrong with them.
Result<Selection> selectionFrom(const Arguments& parsed, const Context& context) {
    Selection selection;
    selection.sourceRoot = Paths::absolute(parsed.positionals()[0]);
    selection.typedDestination = parsed.has("--typed-destination");
    selection.destinationRoot = selection.typedDestination
                                    ? parsed.positionals()[1]
                                    : Paths::absolute(parsed.positionals()[1]);
    if (const auto* p = parsed.value("--pattern")) {
        if (auto ok = WildcardPattern::check(*p); !ok) {
            return std::unexpected(ok.error());
        }
        selection.pattern = *p;
    }
    selection.subfolders = parsed.has("--subfolders");
    const auto versions = VersionOptions::from(parsed);
    if (!versions) {
        return std::unexpected(versions.error());
    }
    selection.keepVersions = versions->keep;
    selection.versionsDays = versions->days;
    if (!selection.typedDestination) {
        // A drive the system mounts that is not there now: its empty mount point lies on
        // another disk, which must not receive the copy.
        const std::string missing = Fstab::unmountedFor(selection.destinationRoot,
                                                        context.fstabPath, context.volumes.list());
        if (!missing.empty()) {
            return fail("cannot copy to '" + TerminalText::escape(selection.destinationRoot) +
                        "': " + TerminalText::escape(missing) + " is not mounted");
        }
    }
    return selection;
}

void printJson(std::ostream& out, const RunResult& result, bool dryRun) {
    out << "{\"scanned\":" << result.totals.totalFiles
        << ",\"copied\":" << result.counters.filesCopied << ",\"failed\":" << result.failures.size()
        << ",\"bytes\":" << result.counters.bytesCopied
        << ",\"folders\":" << result.counters.foldersDone
        << ",\"stopped\":" << (result.stopped ? "true" : "false") << ",\"errors\":";
    Json::printFailures(out, result.failures);
    if (dryRun) {
        out << ",\"would_copy\":[";
        for (std::size_t i = 0; i < result.wouldCopy.size(); ++i) {
            out << (i ? "," : "") << Json::quote(result.wouldCopy[i]);
        }
        out << "]";
    }
    out << "}\n";
}

// What the run did on stdout (JSON, the would-copy list or the summary line), each failure on
// stderr, and the exit status that goes with it.
int report(const RunResult& result, bool json, bool dryRun, Context& context) {
    if (json) {
        printJson(context.out, result, dryRun);
    } else if (dryRun) {
        for (const auto& path : result.wouldCopy) {
            context.out << TerminalText::escape(path) << "\n";
        }
    } else {
        context.out << RunSummary::line(context.clock.now(), result.totals.totalFiles,
                                        result.counters.filesCopied, result.counters.bytesCopied)
                    << "\n";
    }
    for (const auto& f : result.failures) {
        context.err << TerminalText::escape(f.path) << ": " << TerminalText::escape(f.reason)
                    << "\n";
    }
    if (result.stopped) {
        context.err << "tavelin-cli copy: stopped before the end\n";
        return kStopped;
    }
    return result.failures.empty() ? kDone : kFailures;
}

} // namespace

int CopyCommand::run(const std::vector<std::string>& args, Context& context) {
    auto parsed = Arguments::parse(
        args, {"--subfolders", "--typed-destination", "--json", "--dry-run", "--keep-versions"},
        {"--pattern", "--versions-days"});
    if (!parsed) {
        context.err << "tavelin-cli copy: " << parsed.error().message << "\n" << usage();
        return kUsage;
    }
    if (parsed->positionals().size() != 2) {
        context.err << "tavelin-cli copy: needs SOURCE and DESTINATION\n" << usage();
        return kUsage;
    }
    const auto selection = selectionFrom(*parsed, context);
    if (!selection) {
        context.err << "tavelin-cli copy: " << selection.error().message << "\n";
        return kUsage;
    }

    const bool dryRun = parsed->has("--dry-run");
    const bool json = parsed->has("--json");
    const CopyEngine engine(context.volumes, context.fileOps);
    ProgressLine progress(context.err, context.errIsTerminal && !json && !dryRun, context.stop);
    auto result = engine.runCopy(*selection, &progress, dryRun ? RunMode::DryRun : RunMode::Copy);
    progress.finish();
    if (!result) {
        context.err << "tavelin-cli copy: " << TerminalText::escape(result.error().message) << "\n";
        return kUsage;
    }
    return report(*result, json, dryRun, context);
}

} // namespace tavelin::cli
