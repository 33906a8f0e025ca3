#pragma once

#include <cstdint>

#include "ui/pages/project_page.h"

class CProjectCommands;
class QLineEdit;

// The Data page: moves and deletes data sets (Delete after a confirmation), holds the two column
// numbers of the raw data import and starts an import. Move Up and Delete simulate again, since
// the primary data set may change.
//
// The column numbers are the application's (CProjectCommands::m_datesInCol, m_valsInCol): the page
// shows them on REFRESH_LOAD and hands the edited numbers back on REFRESH_STORE, which the
// Import command sends before it reads a file. A number below 1 is stored as 1.
class CDataPage : public CProjectPage {
  public:
    // REQUIRES: the application object exists; its project files outlive the page.
    CDataPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent = nullptr);

  protected:
    void LoadFields() override;
    bool StoreFields() override;
    // An import may have changed the columns: the page shows them again.
    void OnCurrentChanged() override { LoadFields(); }

  private:
    void OnMoveUp();
    void OnDelete();

    int32_t m_datesColumn = 1;
    int32_t m_valuesColumn = 2;
    QLineEdit* m_datesEdit;
    QLineEdit* m_valuesEdit;
};
