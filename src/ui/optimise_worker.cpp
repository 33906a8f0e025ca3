#include "ui/optimise_worker.h"

#include <QCoreApplication>

#include <sys/resource.h>
#include <unistd.h>

#include <utility>

#include "app/project_commands.h"
#include "ui/progress_dialog.h"

COptimiseWorker::COptimiseWorker(SweepRun run, const std::atomic<bool>& stop, QObject* dialog)
    : m_run(std::move(run)), m_stop(stop), m_dialog(dialog) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void COptimiseWorker::Start() {
    start(QThread::LowPriority);
}

void COptimiseWorker::ReportProgress(int32_t position) {
    QCoreApplication::postEvent(m_dialog, new CAnalysisDoneEvent(position, false));
}

void COptimiseWorker::run() {
    // Qt's priorities do not reach ordinary Linux threads; a higher nice value does, and the
    // sweep's own threads inherit it.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
    m_run(m_stop, this);
    QCoreApplication::postEvent(m_dialog, new CAnalysisDoneEvent(0, true));
}
