#include "ui/walk_forward_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include <string>
#include <tuple>

#include "analysis/optimiser.h"
#include "app/duration_text.h"
#include "charts/qt/walk_picture.h"
#include "model/project.h"
#include "ui/background_run.h"
#include "ui/figure_text.h"
#include "ui/front_end.h"
#include "ui/strategy_figures_text.h"

namespace {

QString Window(const CLimits& window) {
    return QString::fromStdString(window.start.FormatDate() + " - " + window.end.FormatDate());
}

}  // namespace

CWalkForwardDialog::CWalkForwardDialog(const CProject& project, CFrontEnd& frontEnd,
                                       double askAboveSeconds, QWidget* parent)
    : QDialog(parent),
      m_project(project),
      m_frontEnd(frontEnd),
      m_askAboveSeconds(askAboveSeconds) {
    setWindowTitle(QStringLiteral("Quillmark - Walk Forward"));
    setModal(true);
    auto* grid = new QGridLayout(this);
    m_train = new QLineEdit(QStringLiteral("5y"), this);
    m_train->setObjectName(QStringLiteral("train"));
    m_test = new QLineEdit(QStringLiteral("1y"), this);
    m_test->setObjectName(QStringLiteral("test"));
    m_run = new QPushButton(QStringLiteral("&Run"), this);
    m_run->setObjectName(QStringLiteral("run"));
    m_run->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("message"));
    m_message->setWordWrap(true);
    m_steps = new QTableWidget(0, 7, this);
    m_steps->setObjectName(QStringLiteral("steps"));
    m_steps->setHorizontalHeaderLabels(
        {"Training", "Test", "Smoothing", "Flags", "Ratio", "In-sample %", "Out-of-sample %"});
    m_steps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_steps->verticalHeader()->hide();
    m_steps->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_figures = new QLabel(this);
    m_figures->setObjectName(QStringLiteral("figures"));
    m_figures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_figures->setWordWrap(true);
    m_chart = new QLabel(this);
    m_chart->setObjectName(QStringLiteral("chart"));
    m_robust = new QCheckBox(QStringLiteral("&Robust"), this);
    m_robust->setObjectName(QStringLiteral("robust"));
    m_robust->setToolTip(
        QStringLiteral("Choose the result set with the best plateau instead of the best gain"));
    m_flatStart = new QCheckBox(QStringLiteral("&Flat start"), this);
    m_flatStart->setObjectName(QStringLiteral("flatStart"));
    m_flatStart->setToolTip(
        QStringLiteral("Start each test window out of the market with the amount invested, "
                       "instead of one account that carries its position"));

    grid->addWidget(new QLabel(QStringLiteral("Training length"), this), 0, 0);
    grid->addWidget(m_train, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Test length"), this), 0, 2);
    grid->addWidget(m_test, 0, 3);
    grid->addWidget(m_robust, 0, 4);
    grid->addWidget(m_flatStart, 0, 5);
    grid->addWidget(m_run, 0, 6);
    grid->addWidget(m_cancel, 0, 7);
    grid->addWidget(m_progress, 1, 0, 1, 8);
    grid->addWidget(m_message, 2, 0, 1, 8);
    grid->addWidget(m_steps, 3, 0, 1, 8);
    grid->addWidget(m_figures, 4, 0, 1, 8);
    grid->addWidget(m_chart, 5, 0, 1, 8);
    resize(800, 680);

    m_train->setToolTip(QStringLiteral("Days, months or years optimised on: 250d, 18m, 5y"));
    m_test->setToolTip(QStringLiteral("Days, months or years the chosen set is tried on after"));
    connect(m_run, &QPushButton::clicked, this, [this] { OnRun(); });
    connect(m_cancel, &QPushButton::clicked, this, &CWalkForwardDialog::reject);
    SetRunning(false);
}

void CWalkForwardDialog::SetRunning(bool running) {
    m_running = running;
    m_run->setEnabled(!running);
    m_train->setEnabled(!running);
    m_test->setEnabled(!running);
    m_cancel->setText(running ? QStringLiteral("&Cancel") : QStringLiteral("&Close"));
}

void CWalkForwardDialog::OnRun() {
    CPeriod train;
    CPeriod test;
    // The lengths are checked here, on the interface thread, so a typing mistake is told at
    // once and nothing starts.
    for (const auto& [edit, period, what] :
         {std::tuple{m_train, &train, "Training length"}, {m_test, &test, "Test length"}}) {
        const CStatus read = ParsePeriod(edit->text().trimmed().toStdString(), *period);
        if (!read) {
            m_message->setText(QStringLiteral("%1: %2").arg(QString::fromLatin1(what),
                                                            QString::fromStdString(read.Reason())));
            edit->setFocus();
            return;
        }
    }
    const CWalkSettings settings{train, test,
                                 m_robust->isChecked() ? CWalkRank::Robust : CWalkRank::Gain,
                                 m_flatStart->isChecked()};
    const CSweepEstimate estimate = EstimateWalkForward(m_project, settings, 0);
    if (estimate.seconds > m_askAboveSeconds &&
        !m_frontEnd.Ask(QString::fromStdString(LongRunText(estimate) + " Run it?"))) {
        m_message->setText(
            QStringLiteral("Not run: shorten the range or the window to run it "
                           "in less time."));
        return;
    }
    m_message->clear();
    m_steps->setRowCount(0);
    m_figures->clear();
    m_chart->clear();
    m_progress->setValue(0);
    m_stop = false;
    m_result = CWalkForward();
    m_status = CStatus::Ok();
    SetRunning(true);
    auto* worker = new CBackgroundRun(
        [this, settings](const std::atomic<bool>& stop, CProgressSink* progress) {
            m_status = WalkForward(m_project, settings, 0, stop, progress, m_result);
        },
        m_stop, this);
    worker->Start();
}

void CWalkForwardDialog::reject() {
    if (m_running) {
        m_stop = true;
        m_closeWhenOver = m_closeWhenOver || sender() != m_cancel;
        return;
    }
    QDialog::reject();
}

void CWalkForwardDialog::customEvent(QEvent* event) {
    if (event->type() != CRunProgressEvent::Type()) {
        QDialog::customEvent(event);
        return;
    }
    const auto* done = static_cast<CRunProgressEvent*>(event);
    if (done->m_position != 0) {
        m_progress->setValue(done->m_position);
    }
    if (!done->m_runOver) {
        return;
    }
    SetRunning(false);
    if (m_closeWhenOver) {
        QDialog::reject();
        return;
    }
    // A stopped run shows the steps it finished (and says so); a failed one has none.
    if (!m_result.steps.empty()) {
        ShowResult();
    }
    if (!m_status) {
        const std::string& reason = m_status.Reason();
        m_message->setText(QString::fromStdString(reason).left(1).toUpper() +
                           QString::fromStdString(reason).mid(1) +
                           (m_result.steps.empty()
                                ? QStringLiteral(".")
                                : QStringLiteral(": the steps shown are done.")));
    }
}

void CWalkForwardDialog::ShowResult() {
    m_steps->setRowCount(static_cast<int>(m_result.steps.size()));
    int row = 0;
    for (const CWalkStep& step : m_result.steps) {
        const QString cells[] = {Window(step.train),
                                 Window(step.test),
                                 step.chosen ? QString::number(step.ml) : QString(),
                                 step.chosen ? QString::number(step.bl) : QString(),
                                 step.ratios.empty() ? QString() : FigureText(step.ratios[0]),
                                 PercentText(step.inSampleGain),
                                 PercentText(step.outOfSampleGain)};
        for (int column = 0; column < 7; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column >= 2) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            m_steps->setItem(row, column, item);
        }
        ++row;
    }
    m_figures->setText(
        m_result.line.empty()
            ? QStringLiteral("No test window holds a point: no out-of-sample result.")
            : QStringLiteral("Out of sample, stitched: ") +
                  FiguresSummary(m_result.figures, [&](int64_t index) {
                      return QString::fromStdString(
                          m_result.line[static_cast<size_t>(index)].date.FormatDate());
                  }));
    std::vector<CWalkPicturePoint> line;
    for (const CWalkPoint& p : m_result.line) {
        line.push_back({p.date.m_serial, p.net, p.hold});
    }
    std::vector<int32_t> boundaries;
    for (size_t i = 1; i < m_result.steps.size(); ++i) {
        boundaries.push_back(m_result.steps[i].test.start.m_serial);
    }
    m_chart->setPixmap(
        QPixmap::fromImage(PaintWalkForward(line, boundaries, 760, 240, devicePixelRatioF())));
}
