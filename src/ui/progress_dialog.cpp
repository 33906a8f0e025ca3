#include "ui/progress_dialog.h"

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "app/duration_text.h"

#include <utility>

#include "ui/background_run.h"
#include "ui/pages/dialog_template.h"

CProgressDialog::CProgressDialog(SweepRun run, QWidget* parent)
    : QDialog(parent), m_run(std::move(run)) {
    // A caption without a system menu or close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle("Quillmark - Calculating...");
    setModal(true);
    const CDialogTemplate t(this);
    setFixedSize(t.ToPixels(0, 0, 186, 71).size());
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setGeometry(t.ToPixels(10, 10, 165, 10));
    m_timeLeft = t.Static(QString(), 10, 24, 165, 8);
    m_timeLeft->setObjectName("timeLeft");
    m_cancel = t.Button("&Cancel", "cancel", 45, 40, 90, 14);
    connect(m_cancel, &QPushButton::clicked, this, &CProgressDialog::reject);
    m_tick = new QTimer(this);
    m_tick->setInterval(1000);
    connect(m_tick, &QTimer::timeout, this, &CProgressDialog::ShowTimeLeft);
    m_elapsed.start();
}

void CProgressDialog::SetEstimate(double seconds) {
    m_estimate = seconds;
    ShowTimeLeft();
}

QString CProgressDialog::TimeLeft() const {
    return m_timeLeft->text();
}

void CProgressDialog::ShowTimeLeft() {
    const double elapsed = static_cast<double>(m_elapsed.elapsed()) / 1000.0;
    m_timeLeft->setText(QString::fromStdString(TimeLeftText(elapsed, Position(), m_estimate)));
}

int CProgressDialog::Position() const {
    return m_progress->value();
}

void CProgressDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_worker == nullptr && !event->spontaneous()) {
        StartWorker();
    }
}

void CProgressDialog::StartWorker() {
    m_progress->setValue(0);
    m_stop = false;
    m_elapsed.restart();
    m_tick->start();
    m_worker = new CBackgroundRun(m_run, m_stop, this);
    m_worker->Start();
}

void CProgressDialog::RunShownAfter(int quietMs) {
    StartWorker();
    QEventLoop quiet;
    connect(this, &QDialog::finished, &quiet, &QEventLoop::quit);
    QTimer::singleShot(quietMs, &quiet, &QEventLoop::quit);
    quiet.exec(QEventLoop::ExcludeUserInputEvents);
    if (!m_runOver) {
        exec();
    }
}

void CProgressDialog::reject() {
    m_stop = true;
}

void CProgressDialog::customEvent(QEvent* event) {
    if (event->type() != CRunProgressEvent::Type()) {
        QDialog::customEvent(event);
        return;
    }
    const auto* done = static_cast<CRunProgressEvent*>(event);
    if (done->m_runOver) {
        m_runOver = true;
        m_tick->stop();
        QDialog::reject();
    }
    if (done->m_position != 0) {
        m_progress->setValue(done->m_position);
        ShowTimeLeft();
    }
}
