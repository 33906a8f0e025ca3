#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "app/project_commands.h"
#include "model/limits.h"
#include "ui/pages/project_page.h"

class CSpinArrows;
class QCheckBox;
class QLineEdit;

// The Controls page: the window by dates, zoom, pan, reset to the data and Zero Base. It keeps
// the display slot when the sheet switches to it.
//
// The six date fields mirror the edits. They are filled from the project's window by
// REFRESH_LOAD, REFRESH_CLEAR, Limits and the spins; typed dates reach the project only through
// REFRESH_STORE (Apply, Enter in a date, or any other sender of that code), with day and month
// clamped and the years as typed (a two-digit year is completed when the date is built). A
// refused date leaves the window as it was. Apply, Limits and the spins then simulate again.
class CControlsPage : public CProjectPage {
  public:
    CControlsPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent = nullptr);

  protected:
    bool KeepsDisplaySlot() const override { return true; }
    // The view limits' dates into the fields and the controls.
    void LoadFields() override;
    // The typed dates, clamped, become the window of both limits records.
    bool StoreFields() override;
    // A new project's window: 1 January 2000 to 1 January 2003.
    void ClearFields() override;

  private:
    void OnZeroBase();
    void OnApply();
    void OnLimits();
    // One spin step (-1 or +1) of PanWindow or ZoomWindow.
    void OnSpinStep(WindowStep stepWindow, int step);

    // The edits and their fields in the order they are exchanged: end day, month, year, then
    // start day, month, year.
    std::array<std::pair<QLineEdit*, int32_t*>, 6> DateFields();
    // Reads the check box, then the edits into the fields, stopping at the first refused edit;
    // false then.
    bool ReadControls();
    void ShowFields();
    void CopyDates(const CLimits& window);

    int32_t m_endDay = 1;
    int32_t m_endMonth = 1;
    int32_t m_endYear = 99;
    int32_t m_startDay = 1;
    int32_t m_startMonth = 1;
    int32_t m_startYear = 98;
    bool m_zeroBase = false;

    QLineEdit* m_startDayEdit;
    QLineEdit* m_startMonthEdit;
    QLineEdit* m_startYearEdit;
    QLineEdit* m_endDayEdit;
    QLineEdit* m_endMonthEdit;
    QLineEdit* m_endYearEdit;
    QCheckBox* m_zeroBaseCheck;
};
