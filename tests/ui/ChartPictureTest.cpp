// A fixed station chart drawn through the Qt drawing context and compared
// with a committed picture. Text is left out of the comparison, since font
// rasterisation differs between machines; every other pixel must match.
// Set NIMBREL_UPDATE_REFERENCES=1 to write the picture anew.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "charts/StationChart.h"
#include "ui/QtDrawContext.h"

namespace nimbrel::test {
namespace {

// Forwards every call and notes where text was drawn.
class TextBoxRecorder : public DrawContext {
 public:
  explicit TextBoxRecorder(DrawContext& target) : inner(target) {}
  std::vector<QRect> textBoxes;

  void rectangle(int l, int t, int r, int b) override { inner.rectangle(l, t, r, b); }
  void ellipse(int l, int t, int r, int b) override { inner.ellipse(l, t, r, b); }
  void moveTo(int x, int y) override { inner.moveTo(x, y); }
  void lineTo(int x, int y) override { inner.lineTo(x, y); }
  void textOut(int x, int y, const std::string& text) override {
    const Size extent = inner.getTextExtent(text);
    const int left = (align & TA_CENTER) == TA_CENTER ? x - extent.cx / 2 : x;
    // Room for glyphs a pixel wider elsewhere.
    const int slack = 3 + extent.cx / 10;
    textBoxes.push_back(QRect(left - slack, y - 2, extent.cx + 2 * slack, extent.cy + 4));
    inner.textOut(x, y, text);
  }
  unsigned setTextAlign(unsigned value) override {
    align = value;
    return inner.setTextAlign(value);
  }
  Colour setTextColor(Colour c) override { return inner.setTextColor(c); }
  Colour setBkColor(Colour c) override { return inner.setBkColor(c); }
  Pen selectPen(const Pen& pen) override { return inner.selectPen(pen); }
  Pen getCurrentPen() const override { return inner.getCurrentPen(); }
  FontSpec selectFont(const FontSpec& font) override { return inner.selectFont(font); }
  Size getTextExtent(const std::string& text) override { return inner.getTextExtent(text); }
  void fillSolidRect(int x, int y, int w, int h, Colour c) override { inner.fillSolidRect(x, y, w, h, c); }
  void setPixel(int x, int y, Colour c) override { inner.setPixel(x, y, c); }
  void drawBitmap(int id, int x, int y) override { inner.drawBitmap(id, x, y); }

 private:
  DrawContext& inner;
  unsigned align = TA_LEFT | TA_TOP;
};

class FixedOwner : public ChartOwner {
 public:
  Rect getClientRect() const override { return Rect{0, 0, 650, 670}; }
};

void BuildChart(Chart& graph) {
  Station station;
  station.name = "ST. PAUL";
  station.cd = "MN";
  station.latText = "44 56N";
  station.lonText = "093 03W";
  station.elevText = "215";
  station.country = "US";
  setupStationChart(graph, station, Settings{}, 30);
  graph.showMarks = true;
  for (int i = 0; i < 24; ++i) {
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", (10 + i / 2) % 24, (i % 2) * 30);
    addObservationRow(graph, time, 12 + 6 * std::sin(i / 4.0), 13 - i * 0.4, 3 + (i % 5), 200 + i * 7);
  }
  graph.setDetailLines(graph.seriesCount - 1,
                       {"DATE: 2005.04.05 1753 UTC", "TEMP: 22.8 C", "DEWPOINT: 1.1 C", "PRESSURE: 1013 hPa",
                        "WINDS: from the WSW (250 degrees) at 12 MPH (10 knots; 5.1 m/s)",
                        "VISIBILITY: 10 miles<BR>(16 km)", "CEILING: none", "CLOUDS: sky clear", "PRESENT: <BR>"});
}

TEST(ChartPicture, StationChartMatchesTheReferenceOutsideText) {
  FixedOwner owner;
  Chart graph(&owner);
  BuildChart(graph);
  QImage image(650, 670, QImage::Format_RGB32);
  image.fill(Qt::white);
  std::vector<QRect> textBoxes;
  {
    QPainter painter(&image);
    QtDrawContext qtContext(painter);
    TextBoxRecorder dc(qtContext);
    paintStationChart(graph, dc, 250.0, 5.1);
    textBoxes = dc.textBoxes;
  }
  const QString reference = QStringLiteral(NIMBREL_FIXTURES_DIR "/charts/station_chart.png");
  if (std::getenv("NIMBREL_UPDATE_REFERENCES") != nullptr) {
    QDir().mkpath(QStringLiteral(NIMBREL_FIXTURES_DIR "/charts"));
    ASSERT_TRUE(image.save(reference));
  }
  QImage expected(reference);
  ASSERT_FALSE(expected.isNull()) << "missing " << reference.toStdString();
  expected = expected.convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(expected.size(), image.size());

  QImage mask(image.size(), QImage::Format_Grayscale8);
  mask.fill(0);
  {
    QPainter painter(&mask);
    for (const QRect& box : textBoxes) painter.fillRect(box, Qt::white);
  }
  int compared = 0;
  int differing = 0;
  QPoint first;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(mask.pixel(x, y)) != 0) continue;
      ++compared;
      if (image.pixel(x, y) != expected.pixel(x, y)) {
        if (differing++ == 0) first = QPoint(x, y);
      }
    }
  }
  if (differing != 0) image.save(QDir::temp().filePath(QStringLiteral("nimbrel_station_chart_actual.png")));
  EXPECT_GT(compared, 650 * 670 / 2);
  EXPECT_EQ(differing, 0) << "first at " << first.x() << "," << first.y()
                          << "; the drawn picture is in the temporary folder";
}

}  // namespace
}  // namespace nimbrel::test
