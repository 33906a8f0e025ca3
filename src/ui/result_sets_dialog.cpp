#include "ui/result_sets_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/landscape.h"
#include "analysis/strategy_figures.h"
#include "app/project_commands.h"
#include "model/project.h"
#include "ui/figure_text.h"
#include "ui/pages/dialog_template.h"
#include "ui/refresh.h"
#include "ui/strategy_figures_text.h"

namespace {

QLineEdit* MakeFigure(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QPushButton* MakeStep(const char* text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedWidth(26);
    return button;
}

}  // namespace

CResultSetsDialog::CResultSetsDialog(CProjectCommands& commands, QWidget* parent)
    : QWidget(parent), m_commands(commands), m_project(commands.Project()) {
    auto* group = m_group = new QGroupBox(QStringLiteral("Result Sets"), this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(5, 0, 5, 5);
    outer->addWidget(group);

    m_gainEdit = MakeFigure("gainPerYear", group);
    m_numberEdit = MakeFigure("number", group);
    QPushButton* next = MakeStep("+", "next", group);
    QPushButton* previous = MakeStep("-", "previous", group);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setSpacing(3);
    grid->addWidget(m_numberEdit, 0, 0);
    grid->addWidget(next, 0, 1);
    grid->addWidget(previous, 0, 2);
    grid->addWidget(m_gainEdit, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("% / Year"), group), 1, 1, 1, 2);

    m_numberEdit->setToolTip(
        QStringLiteral("Number of the applied result set; \"own\": parameters of your own"));
    m_gainEdit->setToolTip(QStringLiteral("Gain per year of the applied result set"));
    next->setToolTip(QStringLiteral("Next result set"));
    previous->setToolTip(QStringLiteral("Previous result set"));
    setTabOrder(m_numberEdit, next);
    setTabOrder(next, previous);
    setTabOrder(previous, m_gainEdit);
    connect(next, &QPushButton::clicked, this, [this] { m_commands.StepResultSet(1); });
    connect(previous, &QPushButton::clicked, this, [this] { m_commands.StepResultSet(-1); });
    m_gainEdit->setText(PercentText(0.0));
    m_numberEdit->setText(QStringLiteral("0"));
}

void CResultSetsDialog::customEvent(QEvent* event) {
    const std::optional<RefreshCode> code = RefreshCodeOf(event);
    if (!code || m_project.Primary() == nullptr) {
        return;
    }
    switch (*code) {
        case REFRESH_LOAD:
        case REFRESH_RESULTS:
            ShowState();
            break;
        case REFRESH_CLEAR:
            m_gainEdit->setText(PercentText(0.0));
            m_numberEdit->setText(QStringLiteral("0"));
            m_group->setToolTip(QString());
            break;
        default:
            break;
    }
}

void CResultSetsDialog::ShowState() {
    const CDataSet& primary = *m_project.Primary();
    const int32_t number = m_commands.ResultNumber();
    m_numberEdit->setText(number == 0 && !primary.m_results.empty() ? QStringLiteral("own")
                                                                    : QString::number(number));
    // A window without a point of some data set gives no result; no old figure stands in.
    if (!SimulationNotice(m_project).empty()) {
        m_gainEdit->clear();
        m_group->setToolTip(QString());
        return;
    }
    const double gainPerYear = ShownGainPerYear(primary.m_params.GN, m_project.m_viewLimits);
    ShowFigure(m_gainEdit, PercentText(gainPerYear), gainPerYear);
    m_gainEdit->setToolTip(GainPerYearTip(m_gainEdit->toolTip(), m_project.m_viewLimits));
    ShowFigures();
}

void CResultSetsDialog::ShowFigures() {
    const CDataSet& primary = *m_project.Primary();
    QString tip = FiguresToolTip(ComputeFigures(primary, m_project.m_viewLimits), primary);
    const CLandscape& landscape = m_commands.Landscape();
    if (landscape.Recorded()) {
        const CPlateau plateau =
            PlateauAt(landscape, primary.m_params.ML, primary.m_params.BL, primary.m_params.RC);
        if (plateau.cells > 0) {
            tip += QStringLiteral("\nPlateau: lowest %1 %, mean %2 % over %3 cells")
                       .arg(PercentText(plateau.low), PercentText(plateau.mean))
                       .arg(plateau.cells);
        }
    }
    m_group->setToolTip(tip);
}
