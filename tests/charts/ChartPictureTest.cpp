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

#include "ChartTestSupport.h"
#include "charts/StationChart.h"
#include "platform/qt/QtDrawContext.h"
#include "charts/SampleStation.h"

namespace nimbrel::test {
namespace {

// Forwards every call and notes where text was drawn.
class TextBoxRecorder : public IDrawContext {
 public:
  explicit TextBoxRecorder(IDrawContext& target) : inner(target) {}
  std::vector<QRect> textBoxes;

  void Rectangle(int l, int t, int r, int b) override { inner.Rectangle(l, t, r, b); }
  void Ellipse(int l, int t, int r, int b) override { inner.Ellipse(l, t, r, b); }
  void MoveTo(int x, int y) override { inner.MoveTo(x, y); }
  void LineTo(int x, int y) override { inner.LineTo(x, y); }
  void TextOut(int x, int y, const std::string& text) override {
    const CSize extent = inner.GetTextExtent(text);
    const int left = (align & TA_CENTER) == TA_CENTER ? x - extent.cx / 2 : x;
    // Room for glyphs a pixel wider elsewhere.
    const int slack = 3 + extent.cx / 10;
    textBoxes.push_back(QRect(left - slack, y - 2, extent.cx + 2 * slack, extent.cy + 4));
    inner.TextOut(x, y, text);
  }
  unsigned SetTextAlign(unsigned value) override {
    align = value;
    return inner.SetTextAlign(value);
  }
  COLORREF SetTextColor(COLORREF c) override { return inner.SetTextColor(c); }
  COLORREF SetBkColor(COLORREF c) override { return inner.SetBkColor(c); }
  CPen SelectPen(const CPen& pen) override { return inner.SelectPen(pen); }
  CPen GetCurrentPen() const override { return inner.GetCurrentPen(); }
  CFontSpec SelectFont(const CFontSpec& font) override { return inner.SelectFont(font); }
  CSize GetTextExtent(const std::string& text) override { return inner.GetTextExtent(text); }
  void FillSolidRect(int x, int y, int w, int h, COLORREF c) override { inner.FillSolidRect(x, y, w, h, c); }
  void SetPixel(int x, int y, COLORREF c) override { inner.SetPixel(x, y, c); }
  void DrawBitmap(int id, int x, int y) override { inner.DrawBitmap(id, x, y); }

 private:
  IDrawContext& inner;
  unsigned align = TA_LEFT | TA_TOP;
};

void BuildChart(CGraph& graph) {
  const CStation station = SampleStation();
  CStation settings;
  SetDefaultSettings(settings);
  SetupGraph(graph, station, settings);
  graph.showMarks = true;
  for (int i = 0; i < 24; ++i) {
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", (10 + i / 2) % 24, (i % 2) * 30);
    AddObservationRow(graph, time, 12 + 6 * std::sin(i / 4.0), 13 - i * 0.4, 3 + (i % 5), 200 + i * 7);
  }
  graph.SetDetailLines(graph.seriesCount - 1,
                       {"DATE: 2005.04.05 1753 UTC", "TEMP: 22.8 C", "DEWPOINT: 1.1 C", "PRESSURE: 1013 hPa",
                        "WINDS: from the WSW (250 degrees) at 12 MPH (10 knots; 5.1 m/s)",
                        "VISIBILITY: 10 miles<BR>(16 km)", "CEILING: none", "CLOUDS: sky clear", "PRESENT: <BR>"});
}

TEST(ChartPicture, StationChartMatchesTheReferenceOutsideText) {
  FixedOwner owner(650, 670);
  CGraph graph(&owner);
  BuildChart(graph);
  QImage image(650, 670, QImage::Format_RGB32);
  image.fill(Qt::white);
  std::vector<QRect> textBoxes;
  {
    QPainter painter(&image);
    QtDrawContext qtContext(painter);
    TextBoxRecorder dc(qtContext);
    PaintStationGraph(graph, dc, 250.0, 5.1);
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
