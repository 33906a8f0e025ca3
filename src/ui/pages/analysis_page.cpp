#include "ui/pages/analysis_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "analysis/landscape.h"
#include "analysis/strategy_figures.h"
#include "app/duration_text.h"
#include "app/project_commands.h"
#include "model/project.h"
#include "ui/figure_text.h"
#include "ui/front_end.h"
#include "ui/landscape_dialog.h"
#include "ui/main_frame.h"
#include "ui/pages/dialog_template.h"
#include "ui/progress_dialog.h"
#include "ui/refresh.h"
#include "ui/status_bar.h"
#include "ui/strategy_figures_text.h"
#include "ui/walk_forward_dialog.h"

CAnalysisPage::CAnalysisPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent)
    : CProjectPage(commands, frame, parent) {
    const CDialogTemplate t(this);
    // Laid out to fit the page beside the charts at the smallest window (about 450 x 95 dialog
    // units), the figures included.
    t.Group("Investment", 0, 0, 108, 65);
    t.Static("Input", 6, 20, 60, 8);
    m_inputEdit = t.Edit("input", 72, 18, 32, 12);
    t.Static("Transaction Charge", 6, 38, 66, 8);
    m_chargeEdit = t.Edit("charge", 72, 36, 32, 12);

    t.Group("Result", 112, 0, 92, 65);
    t.Static("Output", 117, 14, 32, 8);
    m_output = t.Static(QString(), 150, 14, 42, 8, true);
    t.Static("Gain", 117, 29, 32, 8);
    m_gain = t.Static(QString(), 150, 29, 42, 8, true);
    t.Static("%", 194, 29, 8, 8);
    t.Static("Gain/Year", 117, 44, 32, 8);
    m_gainPerYear = t.Static(QString(), 150, 44, 42, 8, true);
    t.Static("%", 194, 44, 8, 8);
    m_output->setObjectName(QStringLiteral("output"));
    m_gain->setObjectName(QStringLiteral("gain"));
    m_gainPerYear->setObjectName(QStringLiteral("gainPerYear"));

    // Says why the report shows no result, when it shows none.
    m_notice = t.Static(QString(), 6, 70, 266, 8);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_inputEdit->setAccessibleName(QStringLiteral("Input"));
    m_chargeEdit->setAccessibleName(QStringLiteral("Transaction Charge"));

    t.Group("Process", 208, 0, 64, 65);
    QPushButton* process = t.Button("&Process", "process", 212, 12, 56, 14);
    m_landscape = t.Button("&Landscape...", "landscape", 212, 29, 56, 14);
    QPushButton* walk = t.Button("&Walk forward...", "walkForward", 212, 46, 56, 14);

    // Beside the Process box, as deep as the page: the first figure ("55.6 % in 337 days") and
    // the drawdown with its dates each alone on a row, the others two a row between them (the
    // right column's labels are shorter and its figures longer: "12 (last open)").
    t.Group("Figures", 276, 0, 177, 85);
    const std::vector<CFigureRow> rows = ExtraFigureRows(CStrategyFigures(), nullptr);
    for (size_t i = 0; i < rows.size(); ++i) {
        const bool alone = i == 0 || i + 1 == rows.size();
        const bool left = alone || i % 2 == 1;
        const int x = left ? 281 : 367;
        const int y =
            10 +
            static_cast<int>(alone ? (i == 0 ? 0 : (rows.size() - 2) / 2 + 1) : (i + 1) / 2) * 9;
        const int labelWidth = alone ? 57 : left ? 48 : 41;
        const int valueWidth = alone ? 109 : left ? 36 : 44;
        t.Static(rows[i].label, x, y, labelWidth, 8);
        QLabel* figure = t.Static(QString(), x + labelWidth, y, valueWidth, 8);
        figure->setObjectName(QString::fromLatin1(rows[i].name));
        m_figures.push_back(figure);
    }

    setTabOrder(m_inputEdit, m_chargeEdit);
    setTabOrder(m_chargeEdit, process);
    setTabOrder(process, m_landscape);
    setTabOrder(m_landscape, walk);
    connect(process, &QPushButton::clicked, this, [this] { OnProcess(); });
    connect(m_landscape, &QPushButton::clicked, this, [this] { OnLandscape(); });
    connect(walk, &QPushButton::clicked, this, [this] { OnWalkForward(); });
    EnableLandscape();
    ShowDouble(m_inputEdit, m_input);
    ShowDouble(m_chargeEdit, m_charge);
}

void CAnalysisPage::LoadFields() {
    CStrategyParams& primary = m_project.Primary()->m_params;
    if (primary.IN < 0.0) {
        primary.IN = 1.0;
    }
    if (primary.TT < 0.0) {
        primary.TT = 0.0;
    }
    m_input = primary.IN;
    m_charge = primary.TT;
    ShowReport(primary.OUT, primary.GN);
    ShowFigures(!m_notice->text().isEmpty());
    ShowDouble(m_inputEdit, m_input);
    ShowDouble(m_chargeEdit, m_charge);
    EnableLandscape();  // a landscape of other data, window or ranges is gone
}

bool CAnalysisPage::StoreFields() {
    const bool accepted = ReadDouble(m_inputEdit, m_input) && ReadDouble(m_chargeEdit, m_charge);
    CStrategyParams& primary = m_project.Primary()->m_params;
    primary.IN = m_input;
    primary.TT = m_charge;
    return accepted;
}

void CAnalysisPage::ClearFields() {
    m_notice->clear();
    m_output->setText(AmountText(0.0));
    m_gain->setText(PercentText(0.0));
    m_gainPerYear->setText(PercentText(0.0));
    ShowFigures(true);
    EnableLandscape();
}

void CAnalysisPage::ShowFigures(bool blank) {
    const CDataSet* primary = blank ? nullptr : m_project.Primary();
    const std::vector<CFigureRow> rows = ExtraFigureRows(
        primary != nullptr ? ComputeFigures(*primary, m_project.m_viewLimits) : CStrategyFigures(),
        primary);
    // A figure wider than its place ("12 (last open)") is shortened with an ellipsis, never cut,
    // and shows whole in its tooltip.
    for (size_t i = 0; i < rows.size(); ++i) {
        QLabel* figure = m_figures[i];
        const QFontMetrics metrics = figure->fontMetrics();
        const bool fits = metrics.horizontalAdvance(rows[i].text) <= figure->width();
        figure->setText(fits ? rows[i].text
                             : metrics.elidedText(rows[i].text, Qt::ElideRight, figure->width()));
        figure->setToolTip(fits ? QString() : rows[i].text);
    }
}

void CAnalysisPage::ShowReport(double output, double gain) {
    const std::string notice = SimulationNotice(m_project);
    m_notice->setText(QString::fromStdString(notice));
    if (!notice.empty()) {
        m_output->setText(QStringLiteral("no result"));
        m_gain->clear();
        m_gainPerYear->clear();
        return;
    }
    m_output->setText(AmountText(output));
    m_gain->setText(PercentText(gain));
    m_gainPerYear->setText(PercentText(ShownGainPerYear(gain, m_project.m_viewLimits)));
    m_gainPerYear->setToolTip(GainPerYearTip(
        QStringLiteral("Gain per year, simple (not compounded)"), m_project.m_viewLimits));
}

namespace {

// Process as the desktop program shows it: the question before a long run in a box, the run
// behind the modal progress dialog.
class CDialogRunHost : public CRunHost {
  public:
    explicit CDialogRunHost(CMainFrame& frame) : m_frame(frame) {}

    bool MayRunLong(const CSweepEstimate& estimate) override {
        return m_frame.FrontEnd().Ask(QString::fromStdString(LongRunText(estimate) + " Run it?"));
    }
    void ShowRun(const SweepRun& run, double estimate) override {
        CProgressDialog progress(run, &m_frame);
        progress.SetEstimate(estimate);
        progress.exec();
    }

  private:
    CMainFrame& m_frame;
};

}  // namespace

void CAnalysisPage::OnProcess() {
    CDialogRunHost host(m_frame);
    CProcessOptions options;
    options.askAboveSeconds = kAskBeforeSeconds;
    // A refused entry has said why and a declined run changes nothing; any other refusal (no
    // data set, a window without a point) is told in the status bar, so that the button does
    // not seem to have done nothing.
    // The message gives the notice pane back after a while.
    m_frame.Status()->clearMessage();
    const CStatus done = m_commands.Process(host, options);
    if (!done && done.Kind() != StatusKind::Refused) {
        const QString reason = QString::fromStdString(done.Reason());
        m_frame.Status()->showMessage(QStringLiteral("Process did not run: %1.").arg(reason),
                                      kRefusalShownMs);
    }
    EnableLandscape();
}

void CAnalysisPage::EnableLandscape() {
    const CLandscape& landscape = m_commands.Landscape();
    m_landscape->setEnabled(landscape.Recorded());
    m_landscape->setToolTip(
        landscape.Recorded() ? QStringLiteral("Best gain over smoothing length and flag level")
        : landscape.unrecorded.empty() ? QStringLiteral("Process records the landscape")
                                       : QString::fromStdString(landscape.unrecorded));
}

void CAnalysisPage::OnLandscape() {
    auto* dialog = new CLandscapeDialog(m_commands, &m_frame);
    dialog->show();
}

void CAnalysisPage::OnWalkForward() {
    // Pending edits of the amounts and ranges count, as for Process; without a data set Run
    // tells why there is nothing to walk over.
    if (m_commands.StartProcess().Kind() == StatusKind::Refused) {
        return;  // the refused field has said why
    }
    CWalkForwardDialog dialog(m_project, m_frame.FrontEnd(), kAskBeforeSeconds, &m_frame);
    dialog.exec();
}
