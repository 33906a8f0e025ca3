#include "ui/pages/controls_page.h"

#include <algorithm>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/project_commands.h"
#include "charts/project_view.h"
#include "charts/scaling.h"
#include "model/project.h"
#include "ui/main_frame.h"
#include "ui/pages/dialog_template.h"
#include "ui/refresh.h"

CControlsPage::CControlsPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent)
    : CProjectPage(commands, frame, parent) {
    const CDialogTemplate t(this);
    t.Group("Time Range", 0, 0, 175, 65);
    t.Static("Start", 15, 25, 16, 8);
    t.Static("End", 15, 41, 14, 8);
    t.Static("MM", 35, 15, 13, 8, true);
    t.Static("DD", 55, 15, 12, 8, true);
    t.Static("YYYY", 75, 15, 21, 8, true);
    m_startMonthEdit = t.Edit("startMonth", 35, 25, 15, 12);
    m_startDayEdit = t.Edit("startDay", 55, 25, 15, 12);
    m_startYearEdit = t.Edit("startYear", 75, 25, 25, 12);
    m_endMonthEdit = t.Edit("endMonth", 35, 41, 15, 12);
    m_endDayEdit = t.Edit("endDay", 55, 41, 15, 12);
    m_endYearEdit = t.Edit("endYear", 75, 41, 25, 12);
    QPushButton* apply = t.Button("&Apply", "apply", 111, 20, 50, 14);
    QPushButton* limits = t.Button("&Limits", "limits", 111, 40, 50, 14);
    t.Group("Zoom", 190, 0, 140, 65);
    t.Static("Pan", 200, 20, 14, 8);
    t.Static("Zoom", 236, 20, 19, 8);
    auto* pan = new CSpinArrows("pan", this);
    pan->setGeometry(t.ToPixels(200, 35, 25, 15));
    auto* zoom = new CSpinArrows("zoom", this);
    zoom->setGeometry(t.ToPixels(236, 35, 25, 15));
    m_zeroBaseCheck = t.Check("Zero Base", "zeroBase", 270, 20, 50, 10);

    const std::pair<QLineEdit*, const char*> names[] = {
        {m_startMonthEdit, "Start month"}, {m_startDayEdit, "Start day"},
        {m_startYearEdit, "Start year"},   {m_endMonthEdit, "End month"},
        {m_endDayEdit, "End day"},         {m_endYearEdit, "End year"}};
    for (const auto& [edit, name] : names) {
        edit->setAccessibleName(QString::fromLatin1(name));
        edit->setToolTip(QString::fromLatin1(name));
        connect(edit, &QLineEdit::returnPressed, this, [this] { OnApply(); });
    }
    pan->setToolTip(QStringLiteral("Pan the window earlier or later"));
    zoom->setToolTip(QStringLiteral("Zoom the window out or in"));

    // Both rows in the order they read: month, day, year.
    QWidget* const order[] = {m_startMonthEdit,
                              m_startDayEdit,
                              m_startYearEdit,
                              m_endMonthEdit,
                              m_endDayEdit,
                              m_endYearEdit,
                              apply,
                              limits,
                              pan,
                              zoom,
                              m_zeroBaseCheck};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    connect(m_zeroBaseCheck, &QCheckBox::clicked, this, [this] { OnZeroBase(); });
    connect(apply, &QPushButton::clicked, this, [this] { OnApply(); });
    connect(limits, &QPushButton::clicked, this, [this] { OnLimits(); });
    pan->SetOnStep([this](int step) { OnSpinStep(PanWindow, step); });
    zoom->SetOnStep([this](int step) { OnSpinStep(ZoomWindow, step); });
    ShowFields();
}

void CControlsPage::LoadFields() {
    CopyDates(m_project.m_viewLimits);
    ShowFields();
}

bool CControlsPage::StoreFields() {
    if (!ReadControls()) {
        return false;
    }
    m_endDay = std::clamp(m_endDay, 1, 31);
    m_endMonth = std::clamp(m_endMonth, 1, 12);
    m_startDay = std::clamp(m_startDay, 1, 31);
    m_startMonth = std::clamp(m_startMonth, 1, 12);
    ShowFields();
    CLimits window;
    window.start.SetDate(m_startDay, m_startMonth, m_startYear);
    window.end.SetDate(m_endDay, m_endMonth, m_endYear);
    SetLimits(m_project, window);
    return true;
}

void CControlsPage::ClearFields() {
    CLimits window;
    window.start.SetDate(1, 1, 2000);
    window.end.SetDate(1, 1, 2003);
    SetLimits(m_project, window);
    LoadFields();
}

void CControlsPage::OnZeroBase() {
    // The dates are read along with the check box but not applied.
    ReadControls();
    m_commands.SetZeroBase(m_zeroBase);
}

void CControlsPage::OnApply() {
    m_commands.ApplyWindow();
}

void CControlsPage::OnLimits() {
    m_commands.ResetWindow();
}

void CControlsPage::OnSpinStep(WindowStep stepWindow, int step) {
    m_commands.StepWindow(stepWindow, step);
}

std::array<std::pair<QLineEdit*, int32_t*>, 6> CControlsPage::DateFields() {
    return {{{m_endDayEdit, &m_endDay},
             {m_endMonthEdit, &m_endMonth},
             {m_endYearEdit, &m_endYear},
             {m_startDayEdit, &m_startDay},
             {m_startMonthEdit, &m_startMonth},
             {m_startYearEdit, &m_startYear}}};
}

bool CControlsPage::ReadControls() {
    // A check box cannot be refused, so a refused date never leaves the flag behind its box.
    m_zeroBase = m_zeroBaseCheck->isChecked();
    for (const auto& [edit, field] : DateFields()) {
        if (!ReadInt(edit, *field)) {
            return false;
        }
    }
    return true;
}

void CControlsPage::ShowFields() {
    for (const auto& [edit, field] : DateFields()) {
        ShowInt(edit, *field);
    }
    m_zeroBaseCheck->setChecked(m_zeroBase);
}

void CControlsPage::CopyDates(const CLimits& window) {
    m_startDay = window.start.m_day;
    m_startMonth = window.start.m_month;
    m_startYear = window.start.m_year;
    m_endDay = window.end.m_day;
    m_endMonth = window.end.m_month;
    m_endYear = window.end.m_year;
}
