#include "ui/pages/project_page.h"

#include "charts/project_view.h"
#include "model/project.h"
#include "ui/main_frame.h"
#include "ui/refresh.h"

CProjectPage::CProjectPage(CProject& project, CMainFrame& frame, QWidget* parent)
    : QWidget(parent), m_project(project), m_frame(frame) {}

bool CProjectPage::OnSetActive() {
    if (!KeepsDisplaySlot()) {
        SetDisplaySlot(m_project, Raw);
    }
    m_frame.RedrawCharts();
    return true;
}

void CProjectPage::OnProjectRefresh(RefreshCode code) {
    if (NeedsDataSets() && !HasDataSets()) {
        return;
    }
    switch (code) {
        case REFRESH_LOAD:
            LoadFields();
            break;
        case REFRESH_STORE:
            StoreFields();
            break;
        case REFRESH_CURRENT:
            OnCurrentChanged();
            break;
        case REFRESH_CLEAR:
            ClearFields();
            break;
        case REFRESH_RESULTS:
        case REFRESH_DATASETS:
            break;
    }
}

void CProjectPage::customEvent(QEvent* event) {
    if (const std::optional<RefreshCode> code = RefreshCodeOf(event)) {
        OnProjectRefresh(*code);
    }
}

bool CProjectPage::HasDataSets() const {
    return m_project.Primary() != nullptr && m_project.Current() != nullptr;
}
