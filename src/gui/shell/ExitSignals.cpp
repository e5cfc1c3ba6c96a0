#include "gui/shell/ExitSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tavelin::gui {

namespace {

// The write end of the pipe: all a signal handler may touch.
volatile int signalPipe = -1;

void onSignal(int signal) {
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    if (signalPipe >= 0) {
        [[maybe_unused]] const auto n = ::write(signalPipe, &byte, 1);
    }
    errno = saved;
}

} // namespace

ExitSignals::ExitSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    signalPipe = fds_[1];
    notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        while (::read(fds_[0], buffer, sizeof buffer) > 0) {
        }
        emit exitRequested();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (const int s : {SIGTERM, SIGHUP, SIGINT}) {
        ::sigaction(s, &sa, nullptr);
    }
}

ExitSignals::~ExitSignals() {
    for (const int s : {SIGTERM, SIGHUP, SIGINT}) {
        ::signal(s, SIG_DFL);
    }
    signalPipe = -1;
    for (const int fd : fds_) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

} // namespace tavelin::gui
