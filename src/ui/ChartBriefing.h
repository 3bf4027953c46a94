#pragma once
// A chart window's one-page briefing, printed or saved as PDF: what the
// window draws (the chart and whatever it draws with it), then the newest
// report and the current forecast decoded, all fitted to the page.
#include <QRect>
#include <QString>

class QPainter;

namespace nimbrel {

class StationChartView;

// Paints the briefing within `page` (the painter's device coordinates).
void paintBriefing(QPainter& painter, const QRect& page, StationChartView& view);
// Writes it as a one-page PDF through a temporary file renamed over `path`;
// false with the reason otherwise.
bool writeBriefingPdf(StationChartView& view, const QString& path, QString& error);

}  // namespace nimbrel
