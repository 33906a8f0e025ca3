#pragma once

#include <QWidget>

#include "ui/refresh.h"

class CMainFrame;
class CProject;
class CProjectCommands;

// The base of the six pages of the page sheet. A page shows part of the project in its
// controls: the base turns each code of the refresh broadcast into a call of one of the hooks
// below, which copy the project's values in and out, and redraws the charts whenever the sheet
// switches to the page (OnSetActive). A page overrides only the hooks of the codes it takes.
class CProjectPage : public QWidget {
  public:
    // The commands (with their project) and the frame outlive the page.
    CProjectPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent = nullptr);

    // The sheet is switching to this page: the charts show raw values unless the page keeps
    // the display slot, and the frame redraws them. Returns true when the page may be shown,
    // which every page allows.
    bool OnSetActive();

  protected:
    // REFRESH_LOAD calls LoadFields, REFRESH_STORE StoreFields, REFRESH_CURRENT
    // OnCurrentChanged and REFRESH_CLEAR ClearFields; no page takes the other codes. A page that
    // NeedsDataSets gets no call while the project lacks a primary or a current data set.
    // False when StoreFields refused an entry.
    bool OnProjectRefresh(RefreshCode code);

    // The hooks of the refresh codes. The base's do nothing. StoreFields returns false when an
    // edit held text its field does not take; the fields read before it are stored.
    virtual void LoadFields() {}
    virtual bool StoreFields() { return true; }
    virtual void OnCurrentChanged() {}
    virtual void ClearFields() {}

    // Whether the hooks read or write data set figures, which need a primary and a current
    // data set. The base's: no.
    virtual bool NeedsDataSets() const { return false; }
    // Whether switching to the page leaves the display slot alone. The base's: no.
    virtual bool KeepsDisplaySlot() const { return false; }

    void customEvent(QEvent* event) override;

    CProjectCommands& m_commands;
    CProject& m_project;
    CMainFrame& m_frame;

  private:
    bool HasDataSets() const;
};
