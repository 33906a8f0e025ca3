#pragma once

#include <QWidget>

class CProject;

// The strip between the two charts with the date labels of the window, painted directly in the
// button-face colour. No border, no mouse handling, no refresh handling.
class CDateStrip : public QWidget {
  public:
    // The project outlives the strip.
    explicit CDateStrip(CProject& project, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CProject& m_project;
};
