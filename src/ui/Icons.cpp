#include "ui/Icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>


namespace nimbrel {
namespace {

QPixmap canvas(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// The program's picture is drawn at the size asked for, when it is asked
// for, rather than as pixmaps made at start-up.
class ProgramIconEngine : public QIconEngine {
 public:
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
    const double side = std::min(rect.width(), rect.height());
    if (side <= 0) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
    const double s = side / 32.0;
    painter->setPen(QPen(QColor(20, 60, 140), 1.5 * s));
    painter->setBrush(QColor(120, 180, 240));
    painter->drawEllipse(QRectF(2 * s, 2 * s, 28 * s, 28 * s));
    painter->setBrush(QColor(255, 230, 0));
    painter->setPen(Qt::NoPen);
    painter->drawEllipse(QRectF(8 * s, 9 * s, 10 * s, 8 * s));
    painter->drawEllipse(QRectF(17 * s, 16 * s, 8 * s, 9 * s));
    painter->setPen(QPen(QColor(220, 0, 0), 2.5 * s));
    painter->drawLine(QPointF(16 * s, 16 * s), QPointF(27 * s, 6 * s));
    painter->restore();
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap pixmap = canvas(size.width(), size.height());
    if (pixmap.isNull()) return pixmap;
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
  }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {{16, 16}, {32, 32}, {48, 48}}; }
  QString key() const override { return QStringLiteral("NimbrelProgramIcon"); }
  QIconEngine* clone() const override { return new ProgramIconEngine; }
};

}  // namespace

QIcon programIcon() { return QIcon(new ProgramIconEngine); }

QIcon toolbarIcon(ToolbarImage image) {
  QPixmap pixmap = canvas(17, 18);
  QPainter p(&pixmap);
  switch (image) {
    case ToolbarImage::kParameters:  // a form with sliders
      p.setPen(Qt::black);
      p.setBrush(Qt::white);
      p.drawRect(1, 1, 14, 15);
      for (int row = 0; row < 3; ++row) {
        const int y = 4 + row * 4;
        p.drawLine(3, y, 13, y);
        p.fillRect(4 + row * 3, y - 1, 3, 3, QColor(0, 0, 200));
      }
      break;
    case ToolbarImage::kMarkAllStations:  // red points on a map
      p.fillRect(1, 3, 15, 12, QColor(255, 255, 0));
      p.setPen(Qt::black);
      p.drawRect(1, 3, 14, 11);
      for (QPoint pt : {QPoint(4, 6), QPoint(9, 8), QPoint(12, 5), QPoint(6, 11), QPoint(11, 12)}) {
        p.fillRect(pt.x(), pt.y(), 2, 2, Qt::red);
      }
      break;
    case ToolbarImage::kShowAllStations:  // a table
      p.setPen(Qt::black);
      p.setBrush(Qt::white);
      p.drawRect(1, 2, 14, 13);
      p.fillRect(2, 3, 13, 3, QColor(0, 0, 128));
      for (int y = 9; y < 15; y += 3) p.drawLine(1, y, 15, y);
      p.drawLine(6, 2, 6, 15);
      break;
    case ToolbarImage::kFindStation:  // a magnifier
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(Qt::black, 2));
      p.setBrush(QColor(200, 230, 255));
      p.drawEllipse(QRectF(2, 2, 9, 9));
      p.drawLine(QPointF(10, 10), QPointF(15, 15));
      break;
  }
  p.end();
  return QIcon(pixmap);
}

}  // namespace nimbrel
