#include "ui/status_bar.h"

#include <QLabel>

#include "analysis/number_format.h"
#include "ui/refresh.h"

namespace {

// Each pane is as wide as this many blanks, the text it starts with.
constexpr std::array<int, 4> kPaneBlanks{30, 49, 22, 12};
constexpr int kIdleBlanks = 8;
constexpr int kMessagePaneMinWidth = 50;

QLabel* MakePane(QWidget* parent, int blanks) {
    const QString text(blanks, QLatin1Char(' '));
    auto* pane = new QLabel(text, parent);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(text) + 2 * pane->frameWidth());
    return pane;
}

}  // namespace

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent) {
    m_notice = new QLabel(QString(kIdleBlanks, QLatin1Char(' ')), this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setMinimumWidth(kMessagePaneMinWidth);
    addWidget(m_notice, 1);
    for (size_t i = 0; i < m_panes.size(); ++i) {
        m_panes[i] = MakePane(this, kPaneBlanks[i]);
        addPermanentWidget(m_panes[i]);
    }
}

void CStatusBar::SetStatus(const std::string& date, const std::string& name, double value,
                           int32_t level) {
    m_panes[PaneDate]->setText(QString::fromStdString(date));
    m_panes[PaneName]->setText(QString::fromStdString(name));
    m_panes[PaneValue]->setText(value < 0.0 ? QString()
                                            : QString::fromStdString(FormatNumber(value)));
    QString levelText;
    if (level == 0) {
        levelText = QStringLiteral("LOW");
    } else if (level == 1) {
        levelText = QStringLiteral("HIGH");
    }
    m_panes[PaneLevel]->setText(levelText);
}

QString CStatusBar::PaneText(Pane pane) const {
    return m_panes[static_cast<size_t>(pane)]->text();
}

void CStatusBar::ShowNotice(const QString& text) {
    if (!text.isEmpty()) {
        clearMessage();  // an older message, such as the last import's, would hide the notice
    }
    m_notice->setText(text.isEmpty() ? QString(kIdleBlanks, QLatin1Char(' ')) : text);
}

QString CStatusBar::Notice() const {
    return m_notice->text().trimmed();
}

void CStatusBar::customEvent(QEvent* event) {
    if (RefreshCodeOf(event) == REFRESH_CLEAR) {
        SetStatus("", "", 0.0, -1);
        ShowNotice(QString());
    }
}
