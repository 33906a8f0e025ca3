// One paint of both charts and the date strip at 1600 x 900, as the main window paints them,
// for 5,000 to 1,000,000 daily points per data set: once on a surface that draws nothing (the
// cost of the chart code itself) and once with QPainter into a QImage, also at twice the pixels.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <random>

#include <QGuiApplication>
#include <QImage>

#include "analysis/simulation.h"
#include "charts/chart_drawing.h"
#include "charts/project_view.h"
#include "charts/qt/chart_picture.h"
#include "charts/status_line.h"
#include "model/project.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 900;
constexpr int kChart = (kHeight - kChartsDateStripHeight) / 2;

// Keeps the selected state and counts the primitives, drawing nothing.
class CCountingSurface : public CDrawSurface {
  public:
    explicit CCountingSurface(CRect clip) : m_clip(clip) {}
    CRect GetClipBox() const override { return m_clip; }
    void FillSolidRect(const CRect&, CColour) override { ++primitives; }
    void FillRect(const CRect&, CColour) override { ++primitives; }
    CPen SelectPen(const CPen& pen) override { return Swap(m_pen, pen); }
    CColour SelectBrush(CColour brush) override { return Swap(m_brush, brush); }
    CFontSpec SelectFont(const CFontSpec& font) override { return Swap(m_font, font); }
    RasterOp SetRasterOp(RasterOp op) override { return Swap(m_op, op); }
    CColour SetTextColour(CColour colour) override { return Swap(m_text, colour); }
    CColour SetBackgroundColour(CColour colour) override { return Swap(m_background, colour); }
    BackgroundMode SetBackgroundMode(BackgroundMode mode) override { return Swap(m_mode, mode); }
    TextAlign SetTextAlign(TextAlign align) override { return Swap(m_align, align); }
    void MoveTo(int32_t, int32_t) override {}
    void LineTo(int32_t, int32_t) override { ++primitives; }
    void Ellipse(const CRect&) override { ++primitives; }
    void TextOut(int32_t, int32_t, std::string_view) override { ++primitives; }
    void DrawText(std::string_view, const CRect&) override { ++primitives; }
    CColour GetSystemColour(SystemColour) const override { return CColour{}; }
    void CopyImage(int32_t, int32_t, int32_t, int32_t, const CPixelImage&, int32_t,
                   int32_t) override {
        ++primitives;
    }

    int64_t primitives = 0;

  private:
    template <typename T>
    static T Swap(T& field, const T& value) {
        T old = field;
        field = value;
        return old;
    }
    CRect m_clip;
    CPen m_pen;
    CColour m_brush, m_text, m_background;
    CFontSpec m_font;
    RasterOp m_op = RasterOp::CopyPen;
    BackgroundMode m_mode = BackgroundMode::Opaque;
    TextAlign m_align = TextAlign::LeftTop;
};

// Two random-walk series of `count` consecutive days, simulated so that the strategy trades;
// the window covers them all. Built once per size.
CProject& ProjectWith(int64_t count) {
    static std::map<int64_t, std::unique_ptr<CProject>> projects;
    std::unique_ptr<CProject>& project = projects[count];
    if (project) {
        return *project;
    }
    project = std::make_unique<CProject>();
    std::mt19937_64 rng(7);
    std::normal_distribution<double> step(0.0002, 0.01);
    for (const char* name : {"PRIMARY", "SECOND"}) {
        CDataSet* ds = project->AddDataSet(name);
        double value = 1000.0;
        for (int64_t i = 0; i < count; ++i) {
            CDataPoint p;
            p.SetSerial(static_cast<int32_t>(600000 + i));
            value *= 1.0 + step(rng);
            p.SetValue(Raw, value);
            ds->AppendPoint(p);
        }
        ds->m_params.RC = 0.5;
        ds->m_params.BL = 20;
    }
    SetCurrentDataSet(*project, project->DataSets()[1].get());
    ResetLimitsToCurrent(*project);
    Simulate(*project, nullptr);
    ScaleHistory(*project);
    project->Current()->FindCursorPoint(0.5);
    project->Primary()->FindCursorPoint(0.5);
    return *project;
}

void EnsureGuiApplication() {
    // One application for the whole run; it is never torn down.
    static int argc = 1;
    static char name[] = "quillmark_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QGuiApplication(argc, argv);
    }();
    benchmark::DoNotOptimize(application);
}

void BM_PaintChartsWithoutRaster(benchmark::State& state) {
    CProject& project = ProjectWith(state.range(0));
    const CRect chart{0, 0, kWidth, kChart};
    int64_t primitives = 0;
    for (auto _ : state) {
        CCountingSurface history(chart), strip(CRect{0, 0, kWidth, kChartsDateStripHeight}),
            data(chart);
        CStatusLine line{"INVESTMENT HISTORY:    ", "PRIMARY", ""};
        DrawHistoryChart(history, project, true);
        DrawStatusLine(history, line, ActiveIndicator(), true);
        DrawDateStrip(strip, project);
        DrawDataSetChart(data, project, true);
        DrawStatusLine(data, line, ActiveIndicator(), true);
        primitives = history.primitives + strip.primitives + data.primitives;
        benchmark::DoNotOptimize(primitives);
    }
    state.counters["primitives"] = static_cast<double>(primitives);
    state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}
BENCHMARK(BM_PaintChartsWithoutRaster)->Arg(5000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_PaintChartsQImage(benchmark::State& state) {
    EnsureGuiApplication();
    CProject& project = ProjectWith(state.range(0));
    for (auto _ : state) {
        QImage image = PaintMainCharts(project, kWidth, kHeight, 0.5);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}
BENCHMARK(BM_PaintChartsQImage)->Arg(10)->Arg(5000)->Arg(200000)->Unit(benchmark::kMillisecond);

// The same paint into a picture of 1 or 2 physical pixels to each pixel of the layout, as on a
// HiDPI screen: {points per data set, ratio}.
void BM_PaintChartsAtPixelRatio(benchmark::State& state) {
    EnsureGuiApplication();
    CProject& project = ProjectWith(state.range(0));
    const double ratio = static_cast<double>(state.range(1));
    for (auto _ : state) {
        QImage image = PaintMainCharts(project, kWidth, kHeight, 0.5, ratio);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}
BENCHMARK(BM_PaintChartsAtPixelRatio)
    ->ArgsProduct({{10, 5000, 1000000}, {1, 2}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
