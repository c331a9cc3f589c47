#include "ui/preview/ToolpathPlanner.h"

#include <QMetaObject>
#include <QPointer>

namespace morvik::preview {

CToolpathPlanner::CToolpathPlanner(QObject* parent) : QObject(parent) {}

CToolpathPlanner::~CToolpathPlanner() {
    CancelAll();
    WaitForIdle();
}

void CToolpathPlanner::Request(std::shared_ptr<const std::string> text,
                               const CPreviewSetup& setup) {
    CancelAll();
    ReapFinished();
    const std::uint64_t serial = ++serial_;
    Job job;
    job.cancel = std::make_shared<std::atomic<bool>>(false);
    job.finished = std::make_shared<std::atomic<bool>>(false);
    job.thread = std::thread([this, serial, text = std::move(text), setup, cancel = job.cancel,
                              finished = job.finished] {
        auto plan = std::make_shared<CToolpathPlan>(PlanToolpath(*text, setup, cancel.get()));
        if (!plan->cancelled) {
            // Queued to this object's thread; dropped by Qt if this object is gone by then
            // (the destructor joins this thread first, so it cannot be gone before the call).
            QMetaObject::invokeMethod(
                this, [this, serial, plan] { Deliver(serial, plan); }, Qt::QueuedConnection);
        }
        finished->store(true);
    });
    jobs_.push_back(std::move(job));
}

void CToolpathPlanner::CancelAll() {
    ++serial_; // whatever is still queued is older than anything asked for from now on
    for (Job& job : jobs_)
        job.cancel->store(true);
}

bool CToolpathPlanner::Busy() const {
    for (const Job& job : jobs_) {
        if (!job.finished->load())
            return true;
    }
    return false;
}

void CToolpathPlanner::WaitForIdle() {
    for (Job& job : jobs_) {
        if (job.thread.joinable())
            job.thread.join();
    }
    jobs_.clear();
}

void CToolpathPlanner::Deliver(std::uint64_t serial, std::shared_ptr<const CToolpathPlan> plan) {
    ReapFinished();
    if (serial == serial_)
        emit Planned(std::move(plan));
}

void CToolpathPlanner::ReapFinished() {
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        if (it->finished->load()) {
            it->thread.join();
            it = jobs_.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace morvik::preview
