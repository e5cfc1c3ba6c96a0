#include "cli/Cli.h"
#include "cli/Context.h"
#include "core/copy/FileOps.h"
#include "core/platform/DiskVolumeIdentity.h"
#include "core/platform/MountTable.h"
#include "core/util/SystemClock.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

// The only process-wide state: what a signal handler may touch.
std::atomic<bool> stopRequested{false};

void onSignal(int) {
    stopRequested.store(true);
}

std::string programFolder() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) {
        return {};
    }
    std::string path(buf, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/'));
}

} // namespace

int main(int argc, char** argv) {
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    // A closed terminal (SIGHUP) ends a run as cleanly as Ctrl-C or a service stop.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &sa, nullptr);
    }

    tavelin::SystemClock clock;
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    tavelin::MountTable volumes("/proc/self/mountinfo",
                                runtimeDir != nullptr ? std::string(runtimeDir) + "/gvfs" : "");
    tavelin::DiskVolumeIdentity volumeIdentity;
    tavelin::FileOps fileOps;
    tavelin::cli::Context context{std::cout,     std::cerr, ::isatty(STDERR_FILENO) == 1,
                                  clock,         volumes,   fileOps,
                                  stopRequested, {},        programFolder(),
                                  volumeIdentity};
    for (const char* name : {"TAVELIN_DB", "XDG_DATA_HOME", "HOME"}) {
        if (const char* value = std::getenv(name)) {
            context.environment[name] = value;
        }
    }
    tavelin::cli::Cli cli;
    const int code = cli.run(std::vector<std::string>(argv + 1, argv + argc), context);
    std::cout.flush();
    return code;
}
