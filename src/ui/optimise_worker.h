#pragma once

#include <QThread>

#include "analysis/progress_sink.h"

class CProject;
class QObject;

// The worker of an optimisation run. It prepares the run on the project, runs the sweep at low
// priority and posts the end of the run to the dialog; progress is posted as it comes. It never
// touches a widget and deletes itself when it has finished.
class COptimiseWorker : public QThread, public CProgressSink {
  public:
    // `dialog` receives the progress and end-of-run events; `threads` as for Optimise.
    COptimiseWorker(CProject* project, QObject* dialog, int threads = 0);

    // Starts the run below normal priority.
    void Start();

    // Called on the worker (and the sweep's own threads): posts the new position.
    void ReportProgress(int32_t position) override;

  protected:
    void run() override;

  private:
    CProject* m_project;
    QObject* m_dialog;
    int m_threads;
};
