#include "app/SignalCloser.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace morvik {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeFds[2] = {-1, -1};

extern "C" void OnSignal(int number) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(number);
    // Nothing to do when the pipe is full: a wake-up is already waiting.
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = savedErrno;
}

bool OpenPipe() {
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) == 0)
        return true;
    pipeFds[0] = pipeFds[1] = -1;
    return false;
}

void SetHandlers(void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

} // namespace

SignalCloser::SignalCloser(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (pipeFds[0] >= 0 || !OpenPipe())
        return; // one closer per process
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalCloser::Drain);
    SetHandlers(OnSignal);
}

SignalCloser::~SignalCloser() {
    if (notifier_ == nullptr)
        return;
    SetHandlers(SIG_DFL);
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void SignalCloser::Drain() {
    char bytes[16];
    while (::read(pipeFds[0], bytes, sizeof bytes) > 0) {
    }
    if (onSignal_)
        onSignal_();
}

} // namespace morvik
