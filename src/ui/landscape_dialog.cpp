#include "ui/landscape_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QVBoxLayout>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "analysis/landscape.h"
#include "app/project_commands.h"
#include "charts/qt/landscape_picture.h"
#include "model/project.h"
#include "ui/figure_text.h"
#include "ui/refresh.h"

CLandscapeDialog::CLandscapeDialog(const CProjectCommands& commands, QWidget* parent)
    : QDialog(parent),
      m_commands(commands),
      m_project(commands.Project()),
      m_landscape(commands.Landscape()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quillmark - Landscape"));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(
        QStringLiteral("Gain found for each smoothing length (across) and flag level (up), at "
                       "the applied result set's ratio or the best over all ratios; a wide red "
                       "plateau is sturdier than a lone spike."),
        this);
    caption->setWordWrap(true);
    layout->addWidget(caption);
    m_bestOverRatios = new QCheckBox(QStringLiteral("&Best over ratios"), this);
    m_bestOverRatios->setObjectName(QStringLiteral("bestOverRatios"));
    m_bestOverRatios->setToolTip(
        QStringLiteral("Each cell the best gain over every ratio tried, instead of the gain at "
                       "the applied result set's ratio"));
    layout->addWidget(m_bestOverRatios);
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setFixedSize(kWidth, kHeight);
    m_picture->setMouseTracking(true);
    m_picture->installEventFilter(this);
    layout->addWidget(m_picture);
    m_readout = new QLabel(this);
    m_readout->setObjectName(QStringLiteral("readout"));
    layout->addWidget(m_readout);
    connect(m_bestOverRatios, &QCheckBox::toggled, this, [this] { Draw(); });
    Draw();
}

QString CLandscapeDialog::ReadoutAt(QPoint position) const {
    const auto cell = LandscapeCellAt(m_shown, kWidth, kHeight, position);
    if (!cell) {
        return QString();
    }
    const auto [ml, level] = *cell;
    const QString gain = PercentText(m_shown.At(ml, level));
    const QString where = QStringLiteral("Smoothing %1, flags %2").arg(ml).arg(level);
    if (m_bestOverRatios->isChecked()) {
        return where + QStringLiteral(": best gain over ratios %1 %")
                           .arg(gain.isEmpty() ? QStringLiteral("-") : gain);
    }
    const int32_t r = m_landscape.RatioIndex(m_ratio);
    const QString ratio =
        r < 0 ? QString() : FigureText(m_landscape.ratios[static_cast<size_t>(r)]);
    return where + QStringLiteral(", ratio %1: gain %2 %")
                       .arg(ratio, gain.isEmpty() ? QStringLiteral("-") : gain);
}

bool CLandscapeDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_picture && event->type() == QEvent::MouseMove) {
        m_readout->setText(ReadoutAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
    } else if (watched == m_picture && event->type() == QEvent::Leave) {
        m_readout->clear();
    }
    return QDialog::eventFilter(watched, event);
}

QImage CLandscapeDialog::Picture() const {
    return m_picture->pixmap().toImage();
}

void CLandscapeDialog::customEvent(QEvent* event) {
    const std::optional<RefreshCode> code = RefreshCodeOf(event);
    if (code == REFRESH_LOAD) {
        Draw();
    } else if (code == REFRESH_CLEAR) {
        close();
    }
}

void CLandscapeDialog::Draw() {
    // Asking the commands drops a landscape of other data, window or ranges.
    if (!m_commands.Landscape().Recorded()) {
        m_shown = CLandscapeMap();
        m_picture->clear();
        return;
    }
    std::vector<std::pair<int32_t, int32_t>> results;
    int applied = -1;
    if (const CDataSet* primary = m_project.Primary()) {
        for (const CStrategyResult& result : primary->m_results) {
            results.emplace_back(result.ML, result.BL);
        }
        // Own parameters (0) circle nothing.
        const int number = m_commands.ResultNumber();
        if (number >= 1 && static_cast<size_t>(number) <= results.size()) {
            applied = number - 1;
        }
        m_ratio = primary->m_params.RC;
    }
    m_shown = m_bestOverRatios->isChecked() ? BestOverRatios(m_landscape)
                                            : SliceAtRatio(m_landscape, m_ratio);
    m_picture->setPixmap(QPixmap::fromImage(
        PaintLandscape(m_shown, results, applied, kWidth, kHeight, devicePixelRatioF())));
}
