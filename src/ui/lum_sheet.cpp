#include "ui/lum_sheet.h"

#include "ui/pages/project_page.h"

CLumSheet::CLumSheet(QWidget* parent) : QStackedWidget(parent) {}

void CLumSheet::AddPage(CProjectPage* page) {
    addWidget(page);
}

void CLumSheet::ActivateAll() {
    for (int i = 0; i < count(); ++i) {
        SetActivePage(i);
    }
}

void CLumSheet::SetActivePage(int index) {
    CProjectPage* page = Page(index);
    if (page == nullptr) {
        return;
    }
    page->OnSetActive();
    setCurrentIndex(index);
}

CProjectPage* CLumSheet::Page(int index) const {
    return dynamic_cast<CProjectPage*>(widget(index));
}
