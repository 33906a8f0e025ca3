#include "ui/pages/data_page.h"

#include <algorithm>

#include <QLineEdit>
#include <QPushButton>

#include "app/project_commands.h"
#include "charts/project_view.h"
#include "model/project.h"
#include "ui/front_end.h"
#include "ui/main_frame.h"
#include "ui/pages/dialog_template.h"
#include "ui/refresh.h"

CDataPage::CDataPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent)
    : CProjectPage(commands, frame, parent) {
    const CDialogTemplate t(this);
    t.Group("Data Set", 0, 0, 70, 65);
    t.Group("Import", 85, 0, 145, 65);
    t.Static("Dates In Column Number", 100, 20, 90, 8);
    t.Static("Values In Column Number", 100, 36, 90, 8);
    m_datesEdit = t.Edit("datesColumn", 195, 20, 20, 12);
    m_valuesEdit = t.Edit("valuesColumn", 195, 36, 20, 12);
    QPushButton* moveUp = t.Button("&Move Up", "moveUp", 10, 15, 50, 14);
    QPushButton* remove = t.Button("&Delete", "delete", 10, 35, 50, 14);
    // The page of the Import item imports too, with the columns above.
    QPushButton* import = t.Button("&Import...", "import", 165, 50, 50, 12);
    m_datesEdit->setAccessibleName(QStringLiteral("Dates In Column Number"));
    m_valuesEdit->setAccessibleName(QStringLiteral("Values In Column Number"));
    setTabOrder(moveUp, remove);
    setTabOrder(remove, m_datesEdit);
    setTabOrder(m_datesEdit, m_valuesEdit);
    setTabOrder(m_valuesEdit, import);

    connect(moveUp, &QPushButton::clicked, this, [this] { OnMoveUp(); });
    connect(remove, &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(import, &QPushButton::clicked, this, [this] { m_frame.FrontEnd().OnFileImport(); });
    ShowInt(m_datesEdit, m_datesColumn);
    ShowInt(m_valuesEdit, m_valuesColumn);
}

void CDataPage::LoadFields() {
    m_datesColumn = m_commands.m_datesInCol;
    m_valuesColumn = m_commands.m_valsInCol;
    ShowInt(m_datesEdit, m_datesColumn);
    ShowInt(m_valuesEdit, m_valuesColumn);
}

bool CDataPage::StoreFields() {
    const bool accepted =
        ReadInt(m_datesEdit, m_datesColumn) && ReadInt(m_valuesEdit, m_valuesColumn);
    // Fields are counted from 1; a smaller number would import no column at all.
    m_datesColumn = std::max(m_datesColumn, 1);
    m_valuesColumn = std::max(m_valuesColumn, 1);
    ShowInt(m_datesEdit, m_datesColumn);
    ShowInt(m_valuesEdit, m_valuesColumn);
    m_commands.m_datesInCol = m_datesColumn;
    m_commands.m_valsInCol = m_valuesColumn;
    return accepted;
}

void CDataPage::OnMoveUp() {
    m_commands.MoveUp();
}

void CDataPage::OnDelete() {
    const CDataSet* current = m_project.Current();
    if (current != nullptr &&
        !m_frame.FrontEnd().Confirm(QStringLiteral("Delete the data set \"%1\"?")
                                        .arg(QString::fromStdString(current->m_name)))) {
        return;
    }
    m_commands.DeleteCurrentDataSet();
}
