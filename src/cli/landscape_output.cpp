#include "cli/landscape_output.h"

#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include <QGuiApplication>
#include <QImage>

#include "analysis/landscape.h"
#include "charts/qt/landscape_picture.h"
#include "cli/render_command.h"
#include "model/project.h"
#include "storage/file_io.h"

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 500;

}  // namespace

std::string LandscapeCsv(const CLandscape& landscape) {
    std::string csv = "ML,BL,gain\n";
    const size_t levels = landscape.levels.size();
    char line[80];
    for (int32_t row = 0; row < landscape.lengthCount; ++row) {
        for (size_t column = 0; column < levels; ++column) {
            const double gain = landscape.gains[static_cast<size_t>(row) * levels + column];
            std::snprintf(line, sizeof line, "%d,%d,", landscape.lowLength + row,
                          landscape.levels[column]);
            csv += line;
            if (!std::isnan(gain)) {
                std::snprintf(line, sizeof line, "%.17g", gain);
                csv += line;
            }
            csv += '\n';
        }
    }
    return csv;
}

bool WriteLandscapeFiles(const CProject& project, const CLandscape& landscape, int applied,
                         const std::string& pngPath, const std::string& csvPath,
                         std::string& error) {
    if (!csvPath.empty() && !WriteFileAtomically(csvPath, LandscapeCsv(landscape), error)) {
        return false;
    }
    if (pngPath.empty()) {
        return true;
    }
    std::vector<std::pair<int32_t, int32_t>> results;
    if (const CDataSet* primary = project.Primary()) {
        for (const CStrategyResult& r : primary->m_results) {
            results.emplace_back(r.ML, r.BL);
        }
    }
    const auto application = StartOffscreenApplication();
    const QImage image = PaintLandscape(landscape, results, applied - 1, kWidth, kHeight);
    return WritePng(image, pngPath, error);
}
