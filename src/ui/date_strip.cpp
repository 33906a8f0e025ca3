#include "ui/date_strip.h"

#include <QPainter>

#include "charts/chart_drawing.h"
#include "charts/qt/painter_surface.h"

CDateStrip::CDateStrip(CProject& project, QWidget* parent) : QWidget(parent), m_project(project) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CDateStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The labels are placed against the whole strip, not against the part being repainted.
    CPainterSurface surface(painter, CRect{0, 0, width(), height()});
    DrawDateStrip(surface, m_project);
}
