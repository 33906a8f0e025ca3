#include "ui/optimise_worker.h"

#include <QCoreApplication>

#include <sys/resource.h>
#include <unistd.h>

#include "app/project_commands.h"
#include "ui/progress_dialog.h"

COptimiseWorker::COptimiseWorker(CProject* project, const std::atomic<bool>& stop, QObject* dialog,
                                 int threads, CLandscape* landscape)
    : m_project(project),
      m_stop(stop),
      m_dialog(dialog),
      m_threads(threads),
      m_landscape(landscape) {
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
    CProjectCommands::RunProcess(*m_project, m_threads, m_stop, this, m_landscape);
    QCoreApplication::postEvent(m_dialog, new CAnalysisDoneEvent(0, true));
}
