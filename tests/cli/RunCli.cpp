#include "tests/cli/RunCli.h"

#include "cli/Cli.h"
#include "cli/Context.h"
#include "core/copy/FileOps.h"
#include "core/platform/DiskVolumeIdentity.h"
#include "core/platform/MountTable.h"
#include "core/util/SystemClock.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <grp.h>
#include <mutex>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tavelin::test {

namespace {

std::string slurp(int fd) {
    std::string s;
    char buf[4096];
    ::lseek(fd, 0, SEEK_SET);
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) {
        s.append(buf, static_cast<std::size_t>(n));
    }
    return s;
}

void writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

// Output a test may read while the command is still writing it (serve on its own thread).
class SharedText : public std::streambuf {
  public:
    std::string text() const {
        std::lock_guard lock(mutex_);
        return text_;
    }

  protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) {
            std::lock_guard lock(mutex_);
            text_.push_back(static_cast<char>(c));
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        std::lock_guard lock(mutex_);
        text_.append(s, static_cast<std::size_t>(n));
        return n;
    }

  private:
    mutable std::mutex mutex_;
    std::string text_;
};

std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

// What the program's main() gives a command, with the test's environment on top.
struct Program {
    explicit Program(const std::map<std::string, std::string>& env)
        : volumes("/proc/self/mountinfo", gvfsFolder()) {
        for (const char* name : {"TAVELIN_DB", "XDG_DATA_HOME", "HOME"}) {
            if (const char* value = std::getenv(name)) {
                environment[name] = value;
            }
        }
        for (const auto& [k, v] : env) {
            environment[k] = v;
        }
    }

    static std::string gvfsFolder() {
        const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
        return runtimeDir != nullptr ? std::string(runtimeDir) + "/gvfs" : "";
    }

    int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
        cli::Context context{out,           err,         false,
                             clock,         volumes,     fileOps,
                             stop,          environment, folderOf(TAVELIN_CLI_PATH),
                             volumeIdentity};
        cli::Cli cli;
        const int code = cli.run(args, context);
        out.flush();
        err.flush();
        return code;
    }

    SystemClock clock;
    MountTable volumes;
    DiskVolumeIdentity volumeIdentity;
    FileOps fileOps;
    std::atomic<bool> stop{false};
    std::map<std::string, std::string> environment;
};

// An unnamed temporary file that a child writes its output into.
int outputFile() {
    char name[] = "/tmp/tavelin-cli-output-XXXXXX";
    const int fd = ::mkstemp(name);
    ::unlink(name);
    return fd;
}

Spawned spawn(const std::vector<std::string>& args, const std::map<std::string, std::string>& env) {
    const int outFd = outputFile();
    const int errFd = outputFile();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outFd, 1);
        ::dup2(errFd, 2);
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, 0);
        for (const auto& [k, v] : env) {
            ::setenv(k.c_str(), v.c_str(), 1);
        }
        std::vector<char*> argv{const_cast<char*>(TAVELIN_CLI_PATH)};
        for (const auto& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    return Spawned{pid, outFd, errFd};
}

int waitChild(pid_t pid, double seconds) {
    for (int i = 0; i < static_cast<int>(seconds * 100); ++i) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        ::usleep(10000);
    }
    return -1;
}

} // namespace

CliOutput runCli(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env) {
    Program program(env);
    std::ostringstream out;
    std::ostringstream err;
    CliOutput result;
    result.status = program.run(args, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

CliOutput runCliAsNobody(const std::vector<std::string>& args) {
    const int outFd = outputFile();
    const int errFd = outputFile();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
            ::setresuid(65534, 65534, 65534) != 0) {
            ::_exit(126);
        }
        Program program({});
        std::ostringstream out;
        std::ostringstream err;
        const int code = program.run(args, out, err);
        writeAll(outFd, out.str());
        writeAll(errFd, err.str());
        ::_exit(code);
    }
    CliOutput result;
    result.status = waitChild(pid, 120);
    result.out = slurp(outFd);
    result.err = slurp(errFd);
    ::close(outFd);
    ::close(errFd);
    return result;
}

struct StartedCli::State {
    explicit State(const std::map<std::string, std::string>& env)
        : program(env), out(&outText), err(&errText) {}

    Program program;
    SharedText outText;
    SharedText errText;
    std::ostream out;
    std::ostream err;
    std::shared_future<int> exit;
};

StartedCli::StartedCli(const std::vector<std::string>& args,
                       const std::map<std::string, std::string>& env)
    : state_(std::make_unique<State>(env)) {
    // The destructor waits for the thread, so the state outlives it.
    State* state = state_.get();
    state_->exit = std::async(std::launch::async, [state, args] {
                       return state->program.run(args, state->out, state->err);
                   }).share();
}

StartedCli::~StartedCli() {
    stop();
    state_->exit.wait();
}

std::string StartedCli::out() const {
    return state_->outText.text();
}

std::string StartedCli::err() const {
    return state_->errText.text();
}

void StartedCli::stop() {
    state_->program.stop.store(true);
}

int StartedCli::waitExit(double seconds) {
    const auto wait = std::chrono::duration<double>(seconds);
    if (state_->exit.wait_for(wait) != std::future_status::ready) {
        return -1;
    }
    return state_->exit.get();
}

std::unique_ptr<StartedCli> startCli(const std::vector<std::string>& args,
                                     const std::map<std::string, std::string>& env) {
    return std::make_unique<StartedCli>(args, env);
}

Spawned spawnCli(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env) {
    return spawn(args, env);
}

std::string Spawned::out() const {
    return slurp(outFd);
}

std::string Spawned::err() const {
    return slurp(errFd);
}

int Spawned::waitExit(double seconds) {
    return waitChild(pid, seconds);
}

} // namespace tavelin::test
