#include "ui/progress_dialog.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "model/project.h"
#include "ui/lum_thread.h"

QEvent::Type CProgressDialog::AnalysisDoneType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

CProgressDialog::CProgressDialog(CProject* project, QWidget* parent, int threads)
    : QDialog(parent), m_project(project), m_threads(threads) {
    // A caption without a system menu or close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle("Quillmark - Calculating...");
    setModal(true);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_cancel = new QPushButton("&Cancel", this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_progress);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
    m_cancel->setFixedWidth(135);
    setFixedSize(280, 100);
    connect(m_cancel, &QPushButton::clicked, this, &CProgressDialog::reject);
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
    m_worker = new CLumThread(m_project, this, m_threads);
    m_worker->Start();
}

void CProgressDialog::reject() {
    m_project->RequestCancel();
}

void CProgressDialog::customEvent(QEvent* event) {
    if (event->type() != AnalysisDoneType()) {
        QDialog::customEvent(event);
        return;
    }
    const auto* done = static_cast<CAnalysisDoneEvent*>(event);
    if (done->m_done != 0) {
        QDialog::reject();
    }
    if (done->m_position != 0) {
        m_progress->setValue(done->m_position);
    }
}
