#include "ui/background_run.h"

#include <QCoreApplication>

#include <sys/resource.h>
#include <unistd.h>

#include <utility>

QEvent::Type CRunProgressEvent::Type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

CBackgroundRun::CBackgroundRun(SweepRun run, const std::atomic<bool>& stop, QObject* window)
    : m_run(std::move(run)), m_stop(stop), m_window(window) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void CBackgroundRun::Start() {
    start(QThread::LowPriority);
}

void CBackgroundRun::ReportProgress(int32_t position) {
    QCoreApplication::postEvent(m_window, new CRunProgressEvent(position, false));
}

void CBackgroundRun::run() {
    // Qt's priorities do not reach ordinary Linux threads; a higher nice value does, and the
    // run's own threads inherit it.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
    m_run(m_stop, this);
    QCoreApplication::postEvent(m_window, new CRunProgressEvent(0, true));
}
