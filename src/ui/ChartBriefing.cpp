#include "ui/ChartBriefing.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "base/ClockText.h"
#include "observations/ObservationText.h"
#include "services/QtText.h"
#include "ui/StationChartView.h"

namespace nimbrel {
namespace {

struct Section {
  QString title;
  QString body;
};

std::vector<Section> briefingTexts(StationChartView& view) {
  StationChartModel& model = view.chartModel();
  const Settings& settings = view.chartSettings();
  const DisplayUnits* units = unitsChosen(settings) ? &settings.units : nullptr;
  std::vector<Section> sections;
  if (!model.observations.empty()) {
    std::string lines;
    for (const std::string& line : detailLines(model.observations.front(), units, settings.timeUtc))
      lines += (lines.empty() ? "" : "\n") + line;
    sections.push_back({QObject::tr("Newest report"), toQString(lines)});
  }
  if (model.forecast())
    sections.push_back({QObject::tr("Forecast"), toQString(forecastChangesText(*model.forecast(), settings.timeUtc, units) +
                                                          "\nTAF: " + model.forecast()->rawText)});
  else
    sections.push_back({QObject::tr("Forecast"), QObject::tr("No forecast of this station at hand.")});
  return sections;
}

// The height the sections take at the painter's font, wrapped to `width`.
int textHeight(QPainter& painter, const std::vector<Section>& sections, int width, int gap) {
  int height = 0;
  for (const Section& s : sections) {
    QFont bold = painter.font();
    bold.setBold(true);
    height += QFontMetrics(bold, painter.device()).height();
    height += painter.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, s.body).height() + gap;
  }
  return height;
}

}  // namespace

void paintBriefing(QPainter& painter, const QRect& page, StationChartView& view) {
  if (page.width() <= 0 || page.height() <= 0) return;
  painter.save();
  const std::vector<Section> sections = briefingTexts(view);
  const Settings& settings = view.chartSettings();
  const QString heading = toQString(view.chartModel().station().name + "   " +
                                    dateClockText(std::time(nullptr), settings.timeUtc));
  QFont font = painter.font();
  // About nine points on an A4 page, whatever the device's resolution.
  int pixels = std::max(6, page.height() / 95);
  const int smallest = std::max(4, pixels / 2);
  const QSize drawn = view.briefingSize();
  int chartHeight = 0;
  int headingHeight = 0;
  int gap = 0;
  // The chart takes up to 60% of the page; a long forecast takes it back,
  // then the font shrinks, so everything stays on this one page.
  for (;; --pixels) {
    font.setPixelSize(pixels);
    font.setBold(false);
    painter.setFont(font);
    gap = pixels / 2;
    headingHeight = QFontMetrics(font, painter.device()).height() * 2;
    const int texts = textHeight(painter, sections, page.width(), gap);
    const int fitted = drawn.isEmpty() ? 0 : page.width() * drawn.height() / drawn.width();
    const int room = page.height() - headingHeight - texts - gap;
    chartHeight = std::min({fitted, page.height() * 3 / 5, std::max(0, room)});
    if (chartHeight >= std::min(fitted, page.height() / 3) || pixels <= smallest) break;
  }
  painter.setClipRect(page);
  int y = page.top();
  QFont bold = font;
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(Qt::black);
  painter.drawText(QRect(page.left(), y, page.width(), headingHeight), Qt::AlignLeft | Qt::AlignTop, heading);
  y += headingHeight;
  if (chartHeight > 0 && !drawn.isEmpty()) {
    // Whatever the window draws, scaled as one picture.
    const double scale = std::min(double(page.width()) / drawn.width(), double(chartHeight) / drawn.height());
    painter.save();
    painter.translate(page.left() + (page.width() - drawn.width() * scale) / 2.0, y);
    painter.scale(scale, scale);
    painter.setClipRect(QRect(QPoint(0, 0), drawn));
    view.drawForBriefing(painter);
    painter.restore();
    y += static_cast<int>(drawn.height() * scale) + gap;
  }
  for (const Section& s : sections) {
    painter.setFont(bold);
    const int titleHeight = QFontMetrics(bold, painter.device()).height();
    painter.drawText(QRect(page.left(), y, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop, s.title);
    y += titleHeight;
    painter.setFont(font);
    const QRect body = painter.boundingRect(QRect(page.left(), y, page.width(), 1 << 20), Qt::TextWordWrap, s.body);
    painter.drawText(QRect(page.left(), y, page.width(), body.height()), Qt::TextWordWrap, s.body);
    y += body.height() + gap;
  }
  painter.restore();
}

bool writeBriefingPdf(StationChartView& view, const QString& path, QString& error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = file.errorString();
    return false;
  }
  {
    QPdfWriter pdf(&file);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(300);
    pdf.setTitle(toQString(view.chartModel().station().name));
    pdf.setCreator(QStringLiteral("Nimbrel"));
    QPainter painter;
    if (!painter.begin(&pdf)) {
      file.cancelWriting();
      error = QObject::tr("The PDF could not be started.");
      return false;
    }
    paintBriefing(painter, QRect(0, 0, pdf.width(), pdf.height()), view);
    painter.end();
  }
  if (!file.commit()) {
    error = file.errorString();
    return false;
  }
  return true;
}

}  // namespace nimbrel
