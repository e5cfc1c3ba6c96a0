#include "cli/CountCommand.h"

#include "cli/Arguments.h"
#include "cli/Context.h"
#include "cli/ExitCode.h"
#include "cli/Json.h"
#include "cli/Paths.h"
#include "cli/TerminalText.h"
#include "core/copy/CopyEngine.h"
#include "core/copy/WildcardPattern.h"

#include <ostream>

namespace tavelin::cli {

std::string CountCommand::summary() const {
    return "count the matching files, the sub-folders and the total size under SOURCE";
}

std::string CountCommand::usage() const {
    return "usage: tavelin-cli count SOURCE [--pattern P] [--subfolders] [--json]\n"
           "  --pattern P     file-name pattern, several separated by ';' (default *.*)\n"
           "  --subfolders    include the sub-folders\n"
           "  --json          print one JSON object\n"
           "Exit status: 0 done, 1 something could not be read (listed on standard error),\n"
           "2 bad usage or input, 3 stopped before the end.\n";
}

int CountCommand::run(const std::vector<std::string>& args, Context& context) {
    auto parsed = Arguments::parse(args, {"--subfolders", "--json"}, {"--pattern"});
    if (!parsed) {
        context.err << "tavelin-cli count: " << parsed.error().message << "\n" << usage();
        return kUsage;
    }
    if (parsed->positionals().size() != 1) {
        context.err << "tavelin-cli count: needs one SOURCE folder\n" << usage();
        return kUsage;
    }
    Selection selection;
    selection.sourceRoot = Paths::absolute(parsed->positionals()[0]);
    if (const auto* p = parsed->value("--pattern")) {
        if (auto ok = WildcardPattern::check(*p); !ok) {
            context.err << "tavelin-cli count: " << ok.error().message << "\n";
            return kUsage;
        }
        selection.pattern = *p;
    }
    selection.subfolders = parsed->has("--subfolders");

    const CopyEngine engine(context.volumes, context.fileOps);
    const auto result = engine.countFiles(selection, [&] { return context.stop.load(); });
    if (!result) {
        context.err << "tavelin-cli count: " << TerminalText::escape(result.error().message)
                    << "\n";
        return kUsage;
    }
    const auto& t = result->totals;
    if (parsed->has("--json")) {
        context.out << "{\"files\":" << t.totalFiles << ",\"folders\":" << t.totalFolders
                    << ",\"bytes\":" << t.totalSize << ",\"failed\":" << result->failures.size()
                    << ",\"stopped\":" << (result->stopped ? "true" : "false") << ",\"errors\":";
        Json::printFailures(context.out, result->failures);
        context.out << "}\n";
    } else {
        context.out << "Folders: " << t.totalFolders << "\nFiles: " << t.totalFiles
                    << "\nSize: " << t.totalSize << " Bytes\n";
    }
    for (const auto& f : result->failures) {
        context.err << TerminalText::escape(f.path) << ": " << TerminalText::escape(f.reason)
                    << "\n";
    }
    if (result->stopped) {
        context.err << "tavelin-cli count: stopped before the end\n";
        return kStopped;
    }
    return result->failures.empty() ? kDone : kFailures;
}

} // namespace tavelin::cli
