#pragma once

#include <atomic>
#include <iosfwd>
#include <map>
#include <string>

namespace tavelin {
class Clock;
class FileOps;
class Volumes;
} // namespace tavelin

namespace tavelin::cli {

// What a command may touch; passed in, so tests can run commands in-process.
struct Context {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal;
    const Clock& clock;
    const Volumes& volumes;
    FileOps& fileOps;
    // Set by SIGINT/SIGTERM/SIGHUP; a run stops between files (or chunks) when it is set.
    const std::atomic<bool>& stop;
    // TAVELIN_DB, XDG_DATA_HOME, HOME as the process saw them.
    std::map<std::string, std::string> environment;
    // The folder that holds the program file.
    std::string programFolder;
};

} // namespace tavelin::cli
