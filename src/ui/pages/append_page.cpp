#include "ui/pages/append_page.h"

#include <algorithm>
#include <utility>

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "app/project_commands.h"
#include "charts/project_view.h"
#include "model/project.h"
#include "ui/main_frame.h"
#include "ui/pages/dialog_template.h"

namespace {

CAppendPage::TodayFunction& TodaySource() {
    static CAppendPage::TodayFunction today;
    return today;
}

QDate Today() {
    return TodaySource() ? TodaySource()() : QDate::currentDate();
}

}  // namespace

CAppendPage::CAppendPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent)
    : CProjectPage(commands, frame, parent) {
    const QDate today = Today();
    m_day = today.day();
    m_month = today.month();
    m_year = today.year();

    const CDialogTemplate t(this);
    t.Group("Add New Data Point", 0, 0, 235, 65);
    m_dayEdit = t.Edit("day", 66, 25, 15, 12);
    m_monthEdit = t.Edit("month", 46, 25, 15, 12);
    m_yearEdit = t.Edit("year", 86, 25, 25, 12);
    t.Static("MM", 46, 15, 13, 8, true);
    t.Static("DD", 66, 15, 12, 8, true);
    t.Static("YYYY", 86, 15, 21, 8, true);
    m_valueEdit = t.Edit("value", 46, 40, 65, 12);
    t.Static("Value", 20, 40, 20, 10);
    t.Static("Date", 20, 26, 20, 8);
    QPushButton* add = t.Button("&Add", "add", 126, 20, 90, 14);
    QPushButton* undo = t.Button("&Undo", "undo", 126, 40, 90, 14);
    m_dayEdit->setAccessibleName(QStringLiteral("Day"));
    m_monthEdit->setAccessibleName(QStringLiteral("Month"));
    m_yearEdit->setAccessibleName(QStringLiteral("Year"));
    m_valueEdit->setAccessibleName(QStringLiteral("Value"));
    // The order they read across the page: month, day, year.
    setTabOrder(m_monthEdit, m_dayEdit);
    setTabOrder(m_dayEdit, m_yearEdit);
    setTabOrder(m_yearEdit, m_valueEdit);
    setTabOrder(m_valueEdit, add);
    setTabOrder(add, undo);

    m_errorBox = [this](const QString& text) {
        QMessageBox::critical(this, QStringLiteral("Error"), text);
    };
    connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(undo, &QPushButton::clicked, this, [this] { OnUndo(); });
    ShowFields();
}

void CAppendPage::SetToday(TodayFunction today) {
    TodaySource() = std::move(today);
}

void CAppendPage::OnAdd() {
    if (!ReadFields()) {
        return;
    }
    m_day = std::clamp(m_day, 1, 31);
    m_month = std::clamp(m_month, 1, 12);
    ShowFields();
    using Outcome = CProjectCommands::AddOutcome;
    if (m_commands.AddPoint(m_day, m_month, m_year, m_value) == Outcome::DateRefused) {
        m_errorBox(QStringLiteral("Date Too Small."));
    }
}

void CAppendPage::OnUndo() {
    m_commands.UndoAddPoint();
}

bool CAppendPage::ReadFields() {
    return ReadInt(m_dayEdit, m_day) && ReadInt(m_monthEdit, m_month) &&
           ReadInt(m_yearEdit, m_year) && ReadDouble(m_valueEdit, m_value);
}

void CAppendPage::ShowFields() {
    ShowInt(m_dayEdit, m_day);
    ShowInt(m_monthEdit, m_month);
    ShowInt(m_yearEdit, m_year);
    ShowDouble(m_valueEdit, m_value);
}
