// The station's telemetry as the application runs it: the publisher started from the
// [Telemetry] section of morvik.ini (or MORVIK_MQTT_BROKER) once a machine is open, the
// observer that feeds it attached to that machine, and the link state shown in a permanent
// label of the status bar ("MQTT: connected", "MQTT: connecting", "MQTT: down"; nothing when
// telemetry is off).
//
// The application calls Attach when a machine document has been opened, Detach before it is
// dropped (Setup > Open replaces it, closing drops it) and Stop on every exit. The client id
// and topic prefix default to the machine's title, so a machine of another title restarts the
// publisher under the new name (the old name is left "offline").
//
// Nothing here waits on the network on the user-interface thread beyond a fixed bound: Stop
// runs the publisher's own Stop (which flushes the latest state and "offline", bounded by the
// configuration's stopTimeoutMs) on a helper thread and waits for it at most that long plus a
// margin; a client that is still stuck then (a name lookup or a connection attempt to a host
// that does not answer) is left to finish on its own, and the broker's last will reports the
// station offline.
#pragma once

#include "telemetry/TelemetryConfig.h"

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>

class QStatusBar;

namespace morvik {

class CMachine;
class IClock;
class MachineOperation;
class TelemetryObserver;
class TelemetryPublisher;

class StationTelemetry : public QObject {
    Q_OBJECT

public:
    // How often the status bar's label follows the link state.
    static constexpr int kRefreshMs = 250;

    // settingsPath: morvik.ini; clock: the station's clock (the publisher's rate limit).
    StationTelemetry(std::string settingsPath, IClock& clock, QStatusBar& statusBar);
    // Stops as Stop does.
    ~StationTelemetry() override;
    StationTelemetry(const StationTelemetry&) = delete;
    StationTelemetry& operator=(const StationTelemetry&) = delete;

    // A machine document was opened with its operation: the configuration is read for its
    // title, the publisher started (or kept, when it runs under the same configuration) and
    // the observer attached. Telemetry that is off or misconfigured leaves the machine alone.
    void Attach(CMachine& machine, MachineOperation& operation);
    // The observer leaves the machine; the publisher keeps its link for the next machine.
    void Detach();
    // Detach, then the latest state and "offline" to the broker, bounded in time.
    void Stop();

    // The running publisher, or null when telemetry is off.
    TelemetryPublisher* Publisher() const;
    // The label's text now ("" when off).
    QString LinkText() const;
    // Makes the label show the link state now (the timer does so every kRefreshMs).
    void Refresh();
    QLabel* LinkLabel() const { return label_; }

private:
    struct Session;
    void StartSession(const TelemetryConfig& config);
    void EndSession();

    std::string settingsPath_;
    IClock& clock_;
    QPointer<QLabel> label_;
    QTimer refresh_;
    std::shared_ptr<Session> session_;
    QString refusal_; // why configured telemetry did not start
    std::unique_ptr<TelemetryObserver> observer_;
    MachineOperation* attachedTo_ = nullptr;
};

// Whether two configurations publish the same way (the tuning that the settings file does not
// carry aside): a publisher running under one need not be restarted for the other.
bool SameTelemetryTarget(const TelemetryConfig& a, const TelemetryConfig& b);

} // namespace morvik
