#include "cli/Cli.h"

#include "cli/Context.h"
#include "cli/CopyCommand.h"
#include "cli/CountCommand.h"
#include "cli/ExitCode.h"
#include "cli/ServeCommand.h"
#include "cli/TasksCommand.h"
#include "core/util/Version.h"

#include <ostream>

namespace tavelin::cli {

Cli::Cli() {
    add(std::make_unique<CopyCommand>());
    add(std::make_unique<CountCommand>());
    add(std::make_unique<TasksCommand>());
    add(std::make_unique<ServeCommand>());
}

void Cli::add(std::unique_ptr<Command> command) {
    commands_.push_back(std::move(command));
}

std::string Cli::help() const {
    std::string text = "usage: tavelin-cli COMMAND [ARGS...]\n\n"
                       "Keeps destination folders up to date with source folders: copies every\n"
                       "matching file that the destination lacks or has in an older version.\n"
                       "Nothing is ever deleted.\n\ncommands:\n";
    for (const auto& c : commands_) {
        std::string name = c->name();
        name.resize(8, ' ');
        text += "  " + name + "  " + c->summary() + "\n";
    }
    text += "\n'tavelin-cli help COMMAND' (or 'COMMAND --help') shows a command's options.\n"
            "\nExit status:\n"
            "  0  done\n"
            "  1  some files failed (each is listed on standard error with its reason)\n"
            "  2  bad usage or input; nothing was done\n"
            "  3  stopped before the end (Ctrl-C, SIGTERM or SIGHUP); no partial file is left\n"
            "\n--json prints UTF-8 JSON. A byte of a file name that is not UTF-8 appears as\n"
            "\\udc80 to \\udcff (the byte plus U+DC00), so every name can be restored exactly.\n"
            "Names printed as text show control characters and such bytes as \\xNN.\n";
    return text;
}

int Cli::run(const std::vector<std::string>& args, Context& context) {
    if (args.empty()) {
        context.err << help();
        return kUsage;
    }
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "help") {
        if (verb == "help" && args.size() > 1) {
            for (const auto& c : commands_) {
                if (c->name() == args[1]) {
                    context.out << c->usage();
                    return kDone;
                }
            }
            context.err << "tavelin-cli help: unknown command '" << args[1] << "'\n\n" << help();
            return kUsage;
        }
        context.out << help();
        return kDone;
    }
    if (verb == "--version" || verb == "-V") {
        context.out << "tavelin-cli " << Version::text() << "\n";
        return kDone;
    }
    for (const auto& c : commands_) {
        if (c->name() != verb) {
            continue;
        }
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        for (const auto& a : rest) {
            if (a == "--help" || a == "-h") {
                context.out << c->usage();
                return kDone;
            }
        }
        return c->run(rest, context);
    }
    context.err << "tavelin-cli: unknown command '" << verb << "'\n\n" << help();
    return kUsage;
}

} // namespace tavelin::cli
