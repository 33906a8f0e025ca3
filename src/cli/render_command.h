#pragma once

#include <memory>
#include <optional>
#include <string>

class QGuiApplication;
class QImage;

// quillmark-cli render: the three chart windows of the main window (investment history chart,
// date strip, data set chart, stacked as the main window shows them) drawn into a PNG file.

struct CRenderOptions {
    std::string projectPath;
    std::string outPath;
    int width = 1000;
    int height = 600;
    std::optional<int> resultSet;  // none: simulate with the project's parameters
    std::optional<double> cursor;  // a mouse at this fraction of the plot width in both charts
    int scale = 1;                 // physical pixels to each pixel of the layout, across
};

// Reads the project as `info` does, simulates (or selects the result set), draws and writes
// the picture atomically, `scale` times `width` x `height` pixels. Prints {"output", "width",
// "height", "scale", "result_set", "cursor"}.
// Returns 0, or 1 with an error line when a file cannot be read or written. Runs Qt on its
// offscreen platform, so it needs no display.
int RunRender(const CRenderOptions& options);

// The Qt application the pictures are drawn under, on Qt's offscreen platform (no display
// needed), with Qt's notes kept off stderr. One per process; it must outlive the drawing.
std::unique_ptr<QGuiApplication> StartOffscreenApplication();

// Encodes `image` as PNG and writes it atomically to `path`; false, with `error`, when not.
bool WritePng(const QImage& image, const std::string& path, std::string& error);
