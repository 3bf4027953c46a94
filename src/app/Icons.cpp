#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "app/View.h"

namespace nimbrel {
namespace {

QPixmap Canvas(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) {
    QPixmap pixmap = Canvas(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 32.0;
    p.setPen(QPen(QColor(20, 60, 140), 1.5 * s));
    p.setBrush(QColor(120, 180, 240));
    p.drawEllipse(QRectF(2 * s, 2 * s, 28 * s, 28 * s));
    p.setBrush(QColor(255, 230, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(8 * s, 9 * s, 10 * s, 8 * s));
    p.drawEllipse(QRectF(17 * s, 16 * s, 8 * s, 9 * s));
    p.setPen(QPen(QColor(220, 0, 0), 2.5 * s));
    p.drawLine(QPointF(16 * s, 16 * s), QPointF(27 * s, 6 * s));
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QIcon ToolbarIcon(int commandId) {
  QPixmap pixmap = Canvas(17, 18);
  QPainter p(&pixmap);
  switch (commandId) {
    case ID_SHOW_PARAMETERS:  // a form with sliders
      p.setPen(Qt::black);
      p.setBrush(Qt::white);
      p.drawRect(1, 1, 14, 15);
      for (int row = 0; row < 3; ++row) {
        const int y = 4 + row * 4;
        p.drawLine(3, y, 13, y);
        p.fillRect(4 + row * 3, y - 1, 3, 3, QColor(0, 0, 200));
      }
      break;
    case ID_MARK_ALL_STATIONS:  // red points on a map
      p.fillRect(1, 3, 15, 12, QColor(255, 255, 0));
      p.setPen(Qt::black);
      p.drawRect(1, 3, 14, 11);
      for (QPoint pt : {QPoint(4, 6), QPoint(9, 8), QPoint(12, 5), QPoint(6, 11), QPoint(11, 12)}) {
        p.fillRect(pt.x(), pt.y(), 2, 2, Qt::red);
      }
      break;
    case ID_SHOW_ALL_STATIONS:  // a table
      p.setPen(Qt::black);
      p.setBrush(Qt::white);
      p.drawRect(1, 2, 14, 13);
      p.fillRect(2, 3, 13, 3, QColor(0, 0, 128));
      for (int y = 9; y < 15; y += 3) p.drawLine(1, y, 15, y);
      p.drawLine(6, 2, 6, 15);
      break;
    case ID_FIND_STATION:  // a magnifier
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(Qt::black, 2));
      p.setBrush(QColor(200, 230, 255));
      p.drawEllipse(QRectF(2, 2, 9, 9));
      p.drawLine(QPointF(10, 10), QPointF(15, 15));
      break;
    default:
      break;
  }
  p.end();
  return QIcon(pixmap);
}

}  // namespace nimbrel
