#pragma once

#include <QString>

#include <array>

#include "ui/pages/project_page.h"

class QLineEdit;

// The Info page: the current data set's potential gains per year (raw and smoothed, rises and
// falls, cut to one decimal) and its currency and comment.
//
// The figures and notes are read when another data set becomes current (REFRESH_CURRENT); the
// figures alone also on REFRESH_LOAD, which every command that moves the window sends, so they
// always describe the window on screen. REFRESH_STORE writes the notes back into the current
// data set; a double quote is stored as a single quote and a line break as a blank, so the
// project file reads back as typed.
class CInfoPage : public CProjectPage {
  public:
    CInfoPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent = nullptr);

  protected:
    bool NeedsDataSets() const override { return true; }
    void LoadFields() override;
    void OnCurrentChanged() override;
    bool StoreFields() override;
    void ClearFields() override;

  private:
    void TakeFigures();
    void ShowFields();

    QString m_comment;
    QString m_currency;
    // Indexed by GainFigure: raw rises, raw falls, smoothed rises, smoothed falls.
    std::array<double, 4> m_figures{};

    QLineEdit* m_commentEdit;
    QLineEdit* m_currencyEdit;
    std::array<QLineEdit*, 4> m_figureEdits{};
};
