#include "ui/pages/project_page.h"

#include "app/project_commands.h"
#include "charts/project_view.h"
#include "model/project.h"
#include "ui/main_frame.h"
#include "ui/refresh.h"

CProjectPage::CProjectPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent)
    : QWidget(parent), m_commands(commands), m_project(commands.Project()), m_frame(frame) {}

bool CProjectPage::OnSetActive() {
    if (!KeepsDisplaySlot()) {
        SetDisplaySlot(m_project, Raw);
    }
    m_frame.RedrawCharts();
    return true;
}

bool CProjectPage::OnProjectRefresh(RefreshCode code) {
    if (NeedsDataSets() && !HasDataSets()) {
        return true;
    }
    switch (code) {
        case REFRESH_LOAD:
            LoadFields();
            break;
        case REFRESH_STORE:
            return StoreFields();
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
    return true;
}

void CProjectPage::customEvent(QEvent* event) {
    if (const std::optional<RefreshCode> code = RefreshCodeOf(event)) {
        if (!OnProjectRefresh(*code)) {
            static_cast<CProjectRefreshEvent*>(event)->Refuse();
        }
    }
}

bool CProjectPage::HasDataSets() const {
    return m_project.Primary() != nullptr && m_project.Current() != nullptr;
}
