#pragma once

#include <QStatusBar>

#include <array>
#include <cstdint>
#include <string>

#include "analysis/status_sink.h"

class QLabel;

// The main window's status bar: the message pane (menu prompts, otherwise blank) and four
// panes with the state at the end of the window after a simulation: the date of the last
// point inside the window, the primary data set's name, the net value there and its market
// level. Cleared when a new project is made, notice included.
class CStatusBar : public QStatusBar, public CStatusSink {
  public:
    // The panes, in order from the left after the message pane.
    enum Pane { PaneDate = 0, PaneName = 1, PaneValue = 2, PaneLevel = 3 };

    explicit CStatusBar(QWidget* parent = nullptr);

    // date and name as given; the value as FormatNumber prints it, nothing when below 0.0;
    // "LOW" for level 0, "HIGH" for level 1, nothing for other levels.
    void SetStatus(const std::string& date, const std::string& name, double value,
                   int32_t level) override;

    QString PaneText(Pane pane) const;
    // A line the message pane keeps while no menu prompt shows (why the last simulation gave
    // no result, why the last project did not open); empty clears it.
    void ShowNotice(const QString& text);
    QString Notice() const;

  protected:
    void customEvent(QEvent* event) override;

  private:
    QLabel* m_notice;
    std::array<QLabel*, 4> m_panes{};
};
