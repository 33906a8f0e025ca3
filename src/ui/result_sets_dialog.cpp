#include "ui/result_sets_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/landscape.h"
#include "analysis/strategy_figures.h"
#include "model/project.h"
#include "ui/figure_text.h"
#include "ui/main_app.h"
#include "ui/main_frame.h"
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

CResultSetsDialog::CResultSetsDialog(CProject& project, CMainFrame& frame, QWidget* parent)
    : QWidget(parent), m_project(project), m_frame(frame) {
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

    m_numberEdit->setToolTip(QStringLiteral("Number of the applied result set"));
    m_gainEdit->setToolTip(QStringLiteral("Gain per year of the applied result set"));
    next->setToolTip(QStringLiteral("Next result set"));
    previous->setToolTip(QStringLiteral("Previous result set"));
    setTabOrder(m_numberEdit, next);
    setTabOrder(next, previous);
    setTabOrder(previous, m_gainEdit);
    connect(next, &QPushButton::clicked, this, [this] { Step(1); });
    connect(previous, &QPushButton::clicked, this, [this] { Step(-1); });
    ShowFields();
}

void CResultSetsDialog::Apply() {
    CMainApp::Instance()->Commands().ApplyResultSet(m_number);
}

void CResultSetsDialog::Step(int32_t change) {
    m_number += change;
    Apply();
}

void CResultSetsDialog::customEvent(QEvent* event) {
    const std::optional<RefreshCode> code = RefreshCodeOf(event);
    if (!code || m_project.Primary() == nullptr) {
        return;
    }
    switch (*code) {
        case REFRESH_LOAD:
            m_gainPerYear = GainPerYear(m_project.Primary()->m_params.GN, m_project.m_viewLimits);
            m_shownNumber = m_number;
            ShowFields();
            ShowFigures();
            break;
        case REFRESH_RESULTS:
            Apply();
            break;
        case REFRESH_CLEAR:
            m_gainPerYear = 0.0;
            ShowFields();
            m_group->setToolTip(QString());
            break;
        default:
            break;
    }
}

void CResultSetsDialog::ShowFields() {
    m_gainEdit->setText(PercentText(m_gainPerYear));
    m_numberEdit->setText(QString::number(m_shownNumber));
}

void CResultSetsDialog::ShowFigures() {
    const CDataSet& primary = *m_project.Primary();
    QString tip = FiguresToolTip(ComputeFigures(primary, m_project.m_viewLimits), primary);
    const CLandscape& landscape = CMainApp::Instance()->Landscape();
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
