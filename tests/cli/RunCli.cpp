#include "cli/RunCli.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/wait.h>
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
} // namespace

namespace {
Spawned spawn(const std::vector<std::string>& prefix, const std::vector<std::string>& args,
              const std::map<std::string, std::string>& env) {
    char outName[] = "/tmp/tavelin-cli-out-XXXXXX";
    char errName[] = "/tmp/tavelin-cli-err-XXXXXX";
    const int outFd = ::mkstemp(outName);
    const int errFd = ::mkstemp(errName);
    ::unlink(outName);
    ::unlink(errName);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outFd, 1);
        ::dup2(errFd, 2);
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, 0);
        for (const auto& [k, v] : env) {
            ::setenv(k.c_str(), v.c_str(), 1);
        }
        std::vector<char*> argv;
        for (const auto& p : prefix) {
            argv.push_back(const_cast<char*>(p.c_str()));
        }
        argv.push_back(const_cast<char*>(TAVELIN_CLI_PATH));
        for (const auto& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    return Spawned{pid, outFd, errFd};
}

CliOutput collect(Spawned child) {
    CliOutput result;
    result.status = child.waitExit(120);
    result.out = child.out();
    result.err = child.err();
    ::close(child.outFd);
    ::close(child.errFd);
    return result;
}
} // namespace

Spawned spawnCli(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env) {
    return spawn({}, args, env);
}

std::string Spawned::out() const {
    return slurp(outFd);
}

std::string Spawned::err() const {
    return slurp(errFd);
}

int Spawned::waitExit(double seconds) {
    for (int i = 0; i < static_cast<int>(seconds * 100); ++i) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        ::usleep(10000);
    }
    return -1;
}

CliOutput runCli(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env) {
    return collect(spawn({}, args, env));
}

CliOutput runCliAsNobody(const std::vector<std::string>& args) {
    return collect(
        spawn({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"}, args, {}));
}

} // namespace tavelin::test
