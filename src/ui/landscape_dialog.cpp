#include "ui/landscape_dialog.h"

#include <QLabel>
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
        QStringLiteral("Best gain found for each smoothing length (across) and flag level (up), "
                       "over the ratios tried; a wide red plateau is sturdier than a lone spike."),
        this);
    caption->setWordWrap(true);
    layout->addWidget(caption);
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setFixedSize(kWidth, kHeight);
    layout->addWidget(m_picture);
    Draw();
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
    if (!m_landscape.Recorded()) {
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
    }
    m_picture->setPixmap(
        QPixmap::fromImage(PaintLandscape(m_landscape, results, applied, kWidth, kHeight)));
}
