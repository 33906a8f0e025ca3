#pragma once

#include <QDialog>

class CProject;
class CProjectCommands;
class QLabel;
struct CLandscape;

// The landscape of the last Process as a heat map, with the result sets of the primary marked
// and the applied one circled. It stays open beside the main window: REFRESH_LOAD (a result set
// applied) redraws it, REFRESH_CLEAR closes it, since the landscape belongs to the project
// being emptied. Deletes itself when closed.
class CLandscapeDialog : public QDialog {
  public:
    // The commands, with their project and landscape, outlive the dialog.
    CLandscapeDialog(const CProjectCommands& commands, QWidget* parent);

    // The picture as shown.
    QImage Picture() const;

    static constexpr int kWidth = 720;
    static constexpr int kHeight = 440;

  protected:
    void customEvent(QEvent* event) override;

  private:
    void Draw();

    const CProjectCommands& m_commands;
    const CProject& m_project;
    const CLandscape& m_landscape;
    QLabel* m_picture;
};
