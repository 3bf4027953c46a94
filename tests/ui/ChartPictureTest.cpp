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

#include "stationchart/StationChart.h"
#include "ui/QtPainter.h"

namespace nimbrel::test {
namespace {

// Forwards every call and notes where text was drawn.
class TextBoxRecorder : public Painter {
 public:
  explicit TextBoxRecorder(Painter& target) : inner(target) {}
  std::vector<QRect> textBoxes;

  void rect(const Rect& r) override { Inner().rect(r); }
  void ellipse(const Rect& r) override { Inner().ellipse(r); }
  void fillRect(const Rect& r, Colour c) override { Inner().fillRect(r, c); }
  void line(Point from, Point to) override { Inner().line(from, to); }
  void pixel(Point at, Colour c) override { Inner().pixel(at, c); }
  void text(Point at, std::string_view text, Align align) override {
    const Size extent = Inner().textSize(text);
    const int left = align == Align::kCentre ? at.x - extent.width / 2 : align == Align::kRight ? at.x - extent.width : at.x;
    // Room for glyphs a pixel wider elsewhere.
    const int slack = 3 + extent.width / 10;
    textBoxes.push_back(QRect(left - slack, at.y - 2, extent.width + 2 * slack, extent.height + 4));
    inner.text(at, text, align);
  }
  Size textSize(std::string_view text) override { return Inner().textSize(text); }
  void image(std::string_view name, Point at) override { Inner().image(name, at); }

 private:
  // The target with this painter's state.
  Painter& Inner() {
    inner.setPen(pen());
    inner.setBrush(brush());
    inner.setFont(font());
    inner.setTextColour(textColour());
    inner.setTextBackground(textBackground());
    return inner;
  }
  Painter& inner;
};

class FixedOwner : public ChartOwner {
 public:
  explicit FixedOwner(int w = 650, int h = 670) : width(w), height(h) {}
  Rect clientRect() const override { return Rect{0, 0, width, height}; }
  int width;
  int height;
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
  // Half-hourly reports from 10:23 on 5 April, past midnight; one calm.
  const std::int64_t start = wallClockSeconds(2005, 4, 5, 10, 23);
  for (int i = 0; i < 32; ++i) {
    addObservationRow(graph, start + i * 1800, 12 + 6 * std::sin(i / 4.0), 13 - i * 0.4, i == 20 ? 0 : 3 + (i % 5),
                      200 + i * 5);
  }
  graph.setDetailLines(graph.seriesCount - 1,
                       {"DATE: 2005.04.06 0153 UTC", "TEMP: 22.8 C", "DEWPOINT: 16.7 C [RH = 66%]",
                        "PRESSURE: 30.15 inches Hg (1021.1 mb)",
                        "WINDS: from the WSW (250 degrees) at 12 MPH (10 knots; 5.1 m/s)",
                        "VISIBILITY: 10 miles<BR>(16 km)", "CEILING: none", "CLOUDS: sky clear", "PRESENT: <BR>"});
}

QImage Render(int width, int height, std::vector<QRect>* textBoxes = nullptr) {
  FixedOwner owner(width, height);
  Chart graph(&owner);
  BuildChart(graph);
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QtPainter onImage(painter);
  TextBoxRecorder recorder(onImage);
  paintStationChart(graph, recorder, 250.0, 5.1);
  if (textBoxes != nullptr) *textBoxes = recorder.textBoxes;
  return image;
}

// With the real fonts' widths: at the smallest layout and at the default
// size no text runs into another or out of the frame.
TEST(ChartPicture, TextsKeepApartWithRealFontMetrics) {
  for (const auto& [width, height] : {std::pair{320, 240}, std::pair{650, 670}, std::pair{420, 300}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    std::vector<QRect> boxes;
    Render(width, height, &boxes);
    const QRect frame(10, 10, width - 20, height - 20);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      // The recorder's boxes carry slack for other machines' fonts: take it off.
      const QRect box = boxes[i].adjusted(3 + (boxes[i].width() - 6) / 12, 2, -(3 + (boxes[i].width() - 6) / 12), -2);
      EXPECT_TRUE(frame.contains(box)) << i;
      for (std::size_t j = 0; j < i; ++j) {
        const QRect other = boxes[j].adjusted(3 + (boxes[j].width() - 6) / 12, 2, -(3 + (boxes[j].width() - 6) / 12), -2);
        EXPECT_FALSE(box.intersects(other)) << i << " and " << j;
      }
    }
  }
}

TEST(ChartPicture, StationChartMatchesTheReferenceOutsideText) {
  std::vector<QRect> textBoxes;
  const QImage image = Render(650, 670, &textBoxes);
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
