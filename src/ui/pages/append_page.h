#pragma once

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <utility>

#include "ui/pages/project_page.h"

class QLineEdit;

// The Append page: adds typed-in values to the current data set and takes the last one back.
//
// Its fields hold only what the user typed; the date starts at the local date of the day the
// page was made and is never refilled from the project. Add appends a point after the current
// data set's last date or says "Date Too Small."; Undo takes back the last added point once.
// Both simulate again. A refused entry adds nothing.
class CAppendPage : public CProjectPage {
  public:
    // Returns today's local date.
    using TodayFunction = std::function<QDate()>;
    // Shows an error message with the caption "Error".
    using ErrorBoxFunction = std::function<void(const QString& text)>;

    CAppendPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent = nullptr);

    // Test seams: where pages made from now on read today's date (an empty function: the
    // system clock), and the error box of this page (at first a modal message box).
    static void SetToday(TodayFunction today);
    void SetErrorBox(ErrorBoxFunction box) { m_errorBox = std::move(box); }

  private:
    void OnAdd();
    void OnUndo();
    // Reads day, month, year and value, stopping at the first refused edit; false then.
    bool ReadFields();
    void ShowFields();

    int32_t m_day;
    int32_t m_month;
    int32_t m_year;
    double m_value = 0.0;
    QLineEdit* m_dayEdit;
    QLineEdit* m_monthEdit;
    QLineEdit* m_yearEdit;
    QLineEdit* m_valueEdit;
    ErrorBoxFunction m_errorBox;
};
