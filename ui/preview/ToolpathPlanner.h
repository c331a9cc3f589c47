// Plans part programs for the preview off the user-interface thread. Each request runs on a
// thread of its own; its result comes back to this object's thread by a queued call and is
// handed out through Planned, but only while it is the newest request: a newer request cancels
// the older ones (they stop at their next look at the flag and say nothing). The tick and the
// windows keep running meanwhile. The destructor cancels and joins whatever still runs.
#pragma once

#include "ui/preview/ToolpathPlan.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace morvik::preview {

class CToolpathPlanner : public QObject {
    Q_OBJECT

public:
    explicit CToolpathPlanner(QObject* parent = nullptr);
    ~CToolpathPlanner() override;
    CToolpathPlanner(const CToolpathPlanner&) = delete;
    CToolpathPlanner& operator=(const CToolpathPlanner&) = delete;

    void Request(std::shared_ptr<const std::string> text, const CPreviewSetup& setup);
    // Forgets the newest request too: nothing more is handed out until the next one.
    void CancelAll();
    // A request is still being planned.
    bool Busy() const;
    // Joins every planning thread; their results are then queued to this object (tests and
    // benchmarks process the events to receive them).
    void WaitForIdle();

signals:
    void Planned(std::shared_ptr<const morvik::preview::CToolpathPlan> plan);

private:
    struct Job {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> cancel;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    void Deliver(std::uint64_t serial, std::shared_ptr<const CToolpathPlan> plan);
    void ReapFinished();

    std::vector<Job> jobs_;
    std::uint64_t serial_ = 0;
};

} // namespace morvik::preview
