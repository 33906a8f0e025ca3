#pragma once

#include <QStackedWidget>

class CProjectPage;

// The positions of the pages in the sheet, which the page tree carries as item data.
enum PageIndex : int {
    PAGE_DATA = 0,
    PAGE_CONTROLS = 1,
    PAGE_INFO = 2,
    PAGE_APPEND = 3,
    PAGE_PARAMETERS = 4,
    PAGE_ANALYSIS = 5,
};

// The page sheet along the bottom of the main window. It shows one page at a time and has no
// tabs: the page tree of the navigation dialog is the only way to switch.
class CPageSheet : public QStackedWidget {
  public:
    explicit CPageSheet(QWidget* parent = nullptr);

    // Appends a page; the sheet owns it. Its position is its page index.
    void AddPage(CProjectPage* page);
    // Activates every page in turn, from the first to the last, which stays active.
    void ActivateAll();
    // Activates the page at `index` and shows it; an index outside the pages does nothing.
    void SetActivePage(int index);

    CProjectPage* Page(int index) const;
};
