#pragma once

#include <map>
#include <string>
#include <vector>

namespace tavelin::test {

struct CliOutput {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the real tavelin-cli with the given arguments (and extra environment), capturing both
// streams. `background` returns at once with the child's pid in `status`.
CliOutput runCli(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env = {});

// The same, run as the user nobody (root is never refused a folder).
CliOutput runCliAsNobody(const std::vector<std::string>& args);

// A tavelin-cli left running in the background; its output goes to temporary files.
struct Spawned {
    int pid = -1;
    int outFd = -1;
    int errFd = -1;

    std::string out() const;
    std::string err() const;
    // Waits up to `seconds` for the process to end; -1 when it did not.
    int waitExit(double seconds);
};

Spawned spawnCli(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env = {});

} // namespace tavelin::test
