#include "ui/page_sheet.h"

#include "ui/pages/project_page.h"

CPageSheet::CPageSheet(QWidget* parent) : QStackedWidget(parent) {}

void CPageSheet::AddPage(CProjectPage* page) {
    addWidget(page);
}

void CPageSheet::ActivateAll() {
    for (int i = 0; i < count(); ++i) {
        SetActivePage(i);
    }
}

void CPageSheet::SetActivePage(int index) {
    CProjectPage* page = Page(index);
    if (page == nullptr) {
        return;
    }
    page->OnSetActive();
    setCurrentIndex(index);
}

CProjectPage* CPageSheet::Page(int index) const {
    return dynamic_cast<CProjectPage*>(widget(index));
}
