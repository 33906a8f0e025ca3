#include "ui/refresh.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace {

int g_depth = 0;

void SendToDescendants(QWidget* parent, CProjectRefreshEvent& event) {
    // A handler may create or destroy widgets; walk a guarded copy of the children.
    QList<QPointer<QWidget>> children;
    for (QObject* child : parent->children()) {
        if (child->isWidgetType()) {
            children.append(static_cast<QWidget*>(child));
        }
    }
    for (const QPointer<QWidget>& child : children) {
        if (child.isNull()) {
            continue;
        }
        QCoreApplication::sendEvent(child.data(), &event);
        if (!child.isNull()) {
            SendToDescendants(child.data(), event);
        }
    }
}

}  // namespace

std::optional<RefreshCode> RefreshCodeOf(const QEvent* event) {
    if (event->type() != kProjectRefreshEvent) {
        return std::nullopt;
    }
    return static_cast<const CProjectRefreshEvent*>(event)->Code();
}

bool BroadcastRefresh(QWidget* root, RefreshCode code) {
    if (root == nullptr) {
        return true;
    }
    ++g_depth;
    CProjectRefreshEvent event(code, g_depth);
    SendToDescendants(root, event);
    --g_depth;
    return !event.Refused();
}
