#include "app/StationTelemetry.h"

#include "app/TelemetryObserver.h"
#include "machine/Machine.h"
#include "operation/MachineOperation.h"
#include "telemetry/TelemetryPublisher.h"

#include <QLabel>
#include <QStatusBar>
#include <QtGlobal>

#include <chrono>
#include <future>
#include <mutex>
#include <thread>

namespace morvik {

namespace {

// What Stop waits beyond the publisher's own bound before it leaves a stuck client behind.
constexpr std::chrono::milliseconds kStopMargin(1000);

// The station's clock for the publisher's rate limit, until the station lets go of it: a
// publisher left to finish its Stop on its own must not reach a clock that the station is
// about to destroy. From then on it reads the last time it saw.
class RelayClock : public IClock {
public:
    explicit RelayClock(IClock& clock) : clock_(&clock) {}

    std::uint64_t NowMs() override {
        const std::lock_guard lock(mutex_);
        if (clock_ != nullptr)
            last_ = clock_->NowMs();
        return last_;
    }
    // The publisher never sleeps on its clock.
    void SleepMs(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    void Release() {
        const std::lock_guard lock(mutex_);
        clock_ = nullptr;
    }

private:
    std::mutex mutex_;
    IClock* clock_;
    std::uint64_t last_ = 0;
};

} // namespace

struct StationTelemetry::Session {
    Session(TelemetryConfig config, IClock& clock)
        : relay(clock), publisher(std::move(config), relay) {}

    RelayClock relay;
    TelemetryPublisher publisher;
};

bool SameTelemetryTarget(const TelemetryConfig& a, const TelemetryConfig& b) {
    return a.enabled == b.enabled && a.host == b.host && a.port == b.port &&
           a.clientId == b.clientId && a.topicPrefix == b.topicPrefix && a.userName == b.userName &&
           a.password == b.password && a.caFile == b.caFile && a.problem == b.problem;
}

StationTelemetry::StationTelemetry(std::string settingsPath, IClock& clock, QStatusBar& statusBar)
    : settingsPath_(std::move(settingsPath)), clock_(clock) {
    label_ = new QLabel(&statusBar);
    label_->setObjectName("paneTelemetry");
    label_->setFrameShape(QFrame::Panel);
    label_->setFrameShadow(QFrame::Sunken);
    statusBar.addPermanentWidget(label_);
    label_->hide();
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &StationTelemetry::Refresh);
}

StationTelemetry::~StationTelemetry() {
    Stop();
}

void StationTelemetry::Attach(CMachine& machine, MachineOperation& operation) {
    Detach();
    const TelemetryConfig config = LoadTelemetryConfig(settingsPath_, machine.GetTitle());
    if (session_ != nullptr && !SameTelemetryTarget(session_->publisher.Config(), config))
        EndSession();
    if (session_ == nullptr && config.enabled)
        StartSession(config);
    if (session_ != nullptr) {
        observer_ = std::make_unique<TelemetryObserver>(machine, session_->publisher);
        operation.Events().Attach(*observer_);
        attachedTo_ = &operation;
    }
    Refresh();
}

void StationTelemetry::Detach() {
    if (attachedTo_ != nullptr && observer_ != nullptr)
        attachedTo_->Events().Detach(*observer_);
    attachedTo_ = nullptr;
    observer_.reset();
}

void StationTelemetry::Stop() {
    Detach();
    EndSession();
    refusal_.clear();
    Refresh();
}

void StationTelemetry::StartSession(const TelemetryConfig& config) {
    refusal_.clear();
    auto session = std::make_shared<Session>(config, clock_);
    if (!session->publisher.Start()) {
        refusal_ = QString::fromStdString(session->publisher.LastError());
        qWarning("Telemetry not started: %s", qPrintable(refusal_));
        return;
    }
    session_ = std::move(session);
    refresh_.start();
}

// The publisher's Stop on a helper thread, waited for within its own bound plus a margin.
void StationTelemetry::EndSession() {
    refresh_.stop();
    if (session_ == nullptr)
        return;
    std::shared_ptr<Session> session = std::move(session_);
    const auto bound =
        std::chrono::milliseconds(session->publisher.Config().stopTimeoutMs) + kStopMargin;
    auto stopped = std::make_shared<std::promise<void>>();
    std::future<void> done = stopped->get_future();
    std::thread worker([session, stopped] {
        session->publisher.Stop();
        stopped->set_value();
    });
    if (done.wait_for(bound) == std::future_status::ready) {
        worker.join();
        return;
    }
    session->relay.Release();
    worker.detach(); // it holds the session until the client lets go
}

TelemetryPublisher* StationTelemetry::Publisher() const {
    return session_ != nullptr ? &session_->publisher : nullptr;
}

QString StationTelemetry::LinkText() const {
    if (session_ != nullptr)
        return QString("MQTT: %1")
            .arg(QString::fromUtf8(TelemetryLinkName(session_->publisher.LinkState())));
    return refusal_.isEmpty() ? QString() : QString("MQTT: not started");
}

void StationTelemetry::Refresh() {
    if (label_ == nullptr)
        return;
    const QString text = LinkText();
    label_->setText(text);
    label_->setToolTip(session_ != nullptr ? QString::fromStdString(session_->publisher.LastError())
                                           : refusal_);
    label_->setVisible(!text.isEmpty());
}

} // namespace morvik
