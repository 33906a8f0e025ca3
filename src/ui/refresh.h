#pragma once

#include <QEvent>

#include <optional>

#include "app/refresh_code.h"

class QWidget;

// The refresh broadcast that keeps every window in step with the project. A window that cares
// overrides customEvent and looks at events of type kProjectRefreshEvent; every other window
// ignores them.
inline const QEvent::Type kProjectRefreshEvent = static_cast<QEvent::Type>(QEvent::User + 0x67);

class CProjectRefreshEvent : public QEvent {
  public:
    CProjectRefreshEvent(RefreshCode code, int depth)
        : QEvent(kProjectRefreshEvent), m_code(code), m_depth(depth) {}

    RefreshCode Code() const { return m_code; }
    // 1 for a broadcast sent from outside any handler, 2 for one sent while handling a
    // broadcast of depth 1, and so on.
    int Depth() const { return m_depth; }

    // A receiver of REFRESH_STORE that could not take a typed entry says so here; the sender
    // then stops before anything reads the project.
    void Refuse() { m_refused = true; }
    bool Refused() const { return m_refused; }

  private:
    RefreshCode m_code;
    int m_depth;
    bool m_refused = false;
};

// The refresh code of `event`, or none when it is not a refresh.
std::optional<RefreshCode> RefreshCodeOf(const QEvent* event);

// Sends a refresh with `code` to every descendant widget of `root` at every depth (root
// itself excluded), each child before its own children. Synchronous: every descendant has
// handled it on return; a broadcast sent by a handler completes before this one goes on.
// Widgets created during the broadcast do not get it; widgets destroyed during it are skipped.
// Returns false when a receiver refused (see CProjectRefreshEvent::Refuse).
// REQUIRES: called on the user-interface thread.
bool BroadcastRefresh(QWidget* root, RefreshCode code);
