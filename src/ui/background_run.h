#pragma once

#include <QEvent>
#include <QThread>

#include <atomic>

#include "app/project_commands.h"
#include "model/progress_sink.h"

class QObject;

// What a background run posts to its window: a new bar position (0 for none), and whether the
// run is over.
class CRunProgressEvent : public QEvent {
  public:
    CRunProgressEvent(int position, bool runOver)
        : QEvent(Type()), m_position(position), m_runOver(runOver) {}
    static QEvent::Type Type();
    int m_position;
    bool m_runOver;
};

// The one way the desktop program runs a long job (the optimisation of Process, the
// walk-forward) beside its interface: the job runs at low priority until it ends or `stop` is
// set, and its progress and its end reach the window as CRunProgressEvent. It never touches a
// widget and deletes itself when it has finished.
class CBackgroundRun : public QThread, public CProgressSink {
  public:
    // `window` receives the events and owns `stop`, which it keeps until the end-of-run event;
    // what `run` writes is not read by the interface until then.
    CBackgroundRun(SweepRun run, const std::atomic<bool>& stop, QObject* window);

    // Starts the run below normal priority.
    void Start();

    // Called on the worker (and the sweep's own threads): posts the new position.
    void ReportProgress(int32_t position) override;

  protected:
    void run() override;

  private:
    SweepRun m_run;
    const std::atomic<bool>& m_stop;
    QObject* m_window;
};
