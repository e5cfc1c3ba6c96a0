#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tavelin::test {

struct CliOutput {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a tavelin-cli command in this process, through the same command table and a context
// like the program's own (real clock, mounts and file operations), capturing both streams.
// `env` adds to or replaces TAVELIN_DB, XDG_DATA_HOME and HOME as the process sees them.
CliOutput runCli(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env = {});

// The same, as the user nobody (root is never refused a folder): the command runs in a forked
// child that has given up root first.
CliOutput runCliAsNobody(const std::vector<std::string>& args);

// A command running on its own thread of this process (serve), until stop() asks it to end
// as a signal would.
class StartedCli {
  public:
    StartedCli(const std::vector<std::string>& args, const std::map<std::string, std::string>& env);
    ~StartedCli();
    StartedCli(const StartedCli&) = delete;
    StartedCli& operator=(const StartedCli&) = delete;

    std::string out() const;
    std::string err() const;
    void stop();
    // Waits up to `seconds` for the command to end; its exit status, or -1 when it did not.
    int waitExit(double seconds);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

std::unique_ptr<StartedCli> startCli(const std::vector<std::string>& args,
                                     const std::map<std::string, std::string>& env = {});

// The real tavelin-cli program left running in the background, for what only a process shows:
// signals, and separate processes sharing one task file. Its output goes to temporary files.
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
