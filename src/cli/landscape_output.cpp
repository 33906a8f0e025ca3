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
    std::string csv = "ML,RC,BL,gain,trades\n";
    char line[120];
    for (int32_t row = 0; row < landscape.lengthCount; ++row) {
        for (size_t r = 0; r < landscape.ratios.size(); ++r) {
            for (size_t column = 0; column < landscape.levels.size(); ++column) {
                const auto cell = static_cast<size_t>(
                    landscape.Cell(int64_t{landscape.lowLength} + row, static_cast<int32_t>(r),
                                   static_cast<int32_t>(column)));
                std::snprintf(line, sizeof line, "%d,%.17g,%d,", landscape.lowLength + row,
                              landscape.ratios[r], landscape.levels[column]);
                csv += line;
                if (!std::isnan(landscape.gains[cell])) {
                    std::snprintf(line, sizeof line, "%.17g", landscape.gains[cell]);
                    csv += line;
                }
                csv += landscape.trades[cell] != 0 ? ",1\n" : ",0\n";
            }
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
    double ratio = 0.0;
    if (const CDataSet* primary = project.Primary()) {
        for (const CStrategyResult& r : primary->m_results) {
            results.emplace_back(r.ML, r.BL);
        }
        if (applied >= 1 && static_cast<size_t>(applied) <= primary->m_results.size()) {
            ratio = primary->m_results[static_cast<size_t>(applied) - 1].RC;
        }
    }
    const auto application = StartOffscreenApplication();
    const QImage image =
        PaintLandscape(SliceAtRatio(landscape, ratio), results, applied - 1, kWidth, kHeight);
    return WritePng(image, pngPath, error);
}
