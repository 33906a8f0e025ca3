#pragma once

#include <QDialog>

// The Help About box: our picture, the product name and its version, and OK.
class CAboutDialog : public QDialog {
  public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};
