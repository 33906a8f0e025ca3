#pragma once

#include <cstdint>

#include "ui/pages/project_page.h"

class QLineEdit;
class QRadioButton;
class QSlider;

// The Parameters page: the smoothing length and flag level of the primary data set, the ratio
// of the current data set, and the ranges of the optimisation (sweep of smoothing lengths,
// ratio resolution on the slider, flag step Fine or Coarse), with Update to simulate.
//
// The fields mirror the edits. REFRESH_LOAD fills them from the project, REFRESH_CURRENT only
// the ratio; REFRESH_STORE writes them back, corrected silently: smoothing and sweep low at
// least 1, sweep high at least sweep low, ratio -1 to 1, flags 0 to 100. The corrected values
// stay in the fields and show at the next load.
class CParametersPage : public CProjectPage {
  public:
    CParametersPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent = nullptr);

  protected:
    bool NeedsDataSets() const override { return true; }
    void LoadFields() override;
    // Only the ratio, which is the current data set's.
    void OnCurrentChanged() override;
    bool StoreFields() override;
    void ClearFields() override;

  private:
    // Store, simulate, load, redraw.
    void OnUpdate();
    // A step of the flags spin: -1 (the upper arrow) adds the flag step, +1 subtracts it.
    void OnFlagsSpin(int change);
    void OnFine();
    void OnCoarse();
    // The slider has settled on a position: the page's own store and load, no broadcast.
    void OnSliderSettled();

    // Reads the edits into the fields in the page's order, stopping at the first refusal;
    // false then.
    bool ReadEdits();
    void ShowFields();

    int32_t m_sweepLow = 20;
    int32_t m_sweepHigh = 40;
    int32_t m_smoothing = 30;
    int32_t m_flags = 60;
    double m_ratio = 0.0;
    double m_resolution = 0.0;  // not a number: the edit is empty
    int32_t m_flagStep = 10;

    QLineEdit* m_sweepLowEdit;
    QLineEdit* m_sweepHighEdit;
    QLineEdit* m_smoothingEdit;
    QSlider* m_slider;
    QLineEdit* m_resolutionEdit;
    QLineEdit* m_ratioEdit;
    QLineEdit* m_flagsEdit;
    QRadioButton* m_fine;
    QRadioButton* m_coarse;
};
