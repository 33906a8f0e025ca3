#pragma once

#include <QThread>

#include <atomic>

#include "analysis/progress_sink.h"
#include "app/project_commands.h"

class QObject;

// The worker of an optimisation run. It runs the sweep at low priority until it ends or the
// dialog's stop flag is set, and posts the end of the run to the dialog; progress is posted as
// it comes. It never touches a widget and deletes itself when it has finished.
class COptimiseWorker : public QThread, public CProgressSink {
  public:
    // `dialog` receives the progress and end-of-run events and owns `stop`, which it keeps
    // until the end-of-run event; what `run` writes is not read by the interface until then.
    COptimiseWorker(SweepRun run, const std::atomic<bool>& stop, QObject* dialog);

    // Starts the run below normal priority.
    void Start();

    // Called on the worker (and the sweep's own threads): posts the new position.
    void ReportProgress(int32_t position) override;

  protected:
    void run() override;

  private:
    SweepRun m_run;
    const std::atomic<bool>& m_stop;
    QObject* m_dialog;
};
