#pragma once

#include <vector>

#include "ui/pages/project_page.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The Analysis page: the money side of the strategy (input and transaction charge of the
// primary data set), Process to run the optimisation, and the report of the last simulation:
// output, gain and gain per year, and under it the figures of that simulation that tell how it
// got there (drawdown, trades, buy and hold...).
class CAnalysisPage : public CProjectPage {
  public:
    CAnalysisPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent = nullptr);

  protected:
    bool NeedsDataSets() const override { return true; }
    // A negative input loads as 1.0 and a negative charge as 0.0, in the page and in the
    // primary data set.
    void LoadFields() override;
    bool StoreFields() override;
    // Blanks the report.
    void ClearFields() override;

  private:
    // Output as FormatNumber, gain and gain per year over the window as PercentText; when the
    // window holds no point of some data set, "no result" and the notice saying why.
    void ShowReport(double output, double gain);
    // The figures grid from the primary's last simulation over the window; blank with `blank`.
    void ShowFigures(bool blank);
    // Stores every page, runs the optimisation behind the modal progress dialog and lets the
    // result sets box apply its result set. A run estimated to take longer than
    // kAskBeforeSeconds runs only when the user says Yes to its steps and duration.
    void OnProcess();
    static constexpr double kAskBeforeSeconds = 30.0;
    // How long the status bar tells why Process did not run.
    static constexpr int kRefusalShownMs = 30000;
    // Opens the heat map of the landscape the last Process recorded beside the main window.
    void OnLandscape();
    // "Landscape..." works only once a Process has recorded one; when the range was too large
    // to record, its tooltip says so.
    void EnableLandscape();
    // Stores every page and runs the walk-forward dialog over the project as it stands.
    void OnWalkForward();

    double m_input = 1000.0;
    double m_charge = 5.0;

    QLineEdit* m_inputEdit;
    QLineEdit* m_chargeEdit;
    QLabel* m_output;
    QLabel* m_gain;
    QLabel* m_gainPerYear;
    QLabel* m_notice;
    QPushButton* m_landscape;
    std::vector<QLabel*> m_figures;  // in the order of ExtraFigureRows
};
