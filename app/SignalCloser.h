// SIGTERM, SIGINT and SIGHUP as events of the Qt loop. A signal handler may do almost nothing
// safely, so it only writes the signal's number into a pipe (the self-pipe pattern); the read
// end is watched by a QSocketNotifier, and the station's reaction (unsaved documents written to
// recovery copies, then closing as File > Exit would, without prompting) runs on the
// user-interface thread between other events.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace morvik {

class SignalCloser : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; onSignal runs in the event loop once per burst of signals.
    explicit SignalCloser(std::function<void()> onSignal, QObject* parent = nullptr);
    // Puts the default handlers back.
    ~SignalCloser() override;
    SignalCloser(const SignalCloser&) = delete;
    SignalCloser& operator=(const SignalCloser&) = delete;

    bool Installed() const { return notifier_ != nullptr; }

private:
    void Drain();

    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace morvik
