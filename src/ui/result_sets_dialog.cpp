#include "ui/result_sets_dialog.h"

#include "model/project.h"
#include "ui/main_frame.h"
#include "ui/refresh.h"

CResultSetsDialog::CResultSetsDialog(CProject& project, CMainFrame& frame, QWidget* parent)
    : QWidget(parent), m_project(project), m_frame(frame) {}

void CResultSetsDialog::Apply() {
    m_frame.Refresh(REFRESH_STORE);
    m_project.SelectResultSet(m_number);
    m_frame.RedrawCharts();
    m_frame.Refresh(REFRESH_LOAD);
}

void CResultSetsDialog::customEvent(QEvent* event) {
    if (RefreshCodeOf(event) == REFRESH_RESULTS && m_project.Primary() != nullptr) {
        Apply();
    }
}
