#pragma once

#include <atomic>
#include <iosfwd>
#include <map>
#include <string>

namespace tavelin {
class Clock;
class FileOps;
class Volumes;
class VolumeIdentity;
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
    // Which file system a path lies on, for tasks that must write to their own drive only.
    const VolumeIdentity& volumeIdentity;
    // The file systems the system expects to be mounted.
    std::string fstabPath = "/etc/fstab";
};

} // namespace tavelin::cli
