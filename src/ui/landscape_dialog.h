#pragma once

#include <QDialog>

#include "analysis/landscape.h"

class CProject;
class CProjectCommands;
class QCheckBox;
class QLabel;

// The landscape of the last Process as a heat map, with the result sets of the primary marked
// and the applied one circled: by default the slice at the applied set's ratio, with "Best over
// ratios" as an option; the mouse over a cell reads out its parameters and gain. It stays open
// beside the main window: REFRESH_LOAD (a result set applied) redraws it, REFRESH_CLEAR closes it,
// since the landscape belongs to the project being emptied. Deletes itself when closed.
class CLandscapeDialog : public QDialog {
  public:
    // The commands, with their project and landscape, outlive the dialog.
    CLandscapeDialog(const CProjectCommands& commands, QWidget* parent);

    // The picture as shown.
    QImage Picture() const;
    // The readout of the cell under a position of the picture (empty outside the map).
    QString ReadoutAt(QPoint position) const;

    static constexpr int kWidth = 720;
    static constexpr int kHeight = 440;

  protected:
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Draw();

    const CProjectCommands& m_commands;
    const CProject& m_project;
    const CLandscape& m_landscape;
    CLandscapeMap m_shown;
    double m_ratio = 0.0;
    QLabel* m_picture;
    QLabel* m_readout;
    QCheckBox* m_bestOverRatios;
};
