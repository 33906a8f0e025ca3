#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include "ui/lum_sheet.h"
#include "ui/pages/project_page.h"
#include "ui_fixture.h"

// A test of one page of the sheet, driven through its controls, which the page names.
class PageTest : public UiTest {
  protected:
    // Opens the main window on an empty project and shows the page at `index`.
    void StartOn(int index) {
        Start();
        Frame()->Sheet()->SetActivePage(index);
        m_page = Frame()->Sheet()->Page(index);
    }

    QLineEdit* Edit(const char* name) const { return m_page->findChild<QLineEdit*>(name); }
    QString Text(const char* name) const { return Edit(name)->text(); }
    // Types `text` over the whole text of the edit.
    void Type(const char* name, const QString& text) const {
        Edit(name)->selectAll();
        QTest::keyClicks(Edit(name), text);
    }
    void Click(const char* name) const {
        QTest::mouseClick(m_page->findChild<QAbstractButton*>(name), Qt::LeftButton);
    }

    CProjectPage* m_page = nullptr;
};
