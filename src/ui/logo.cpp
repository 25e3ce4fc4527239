#include "logo.h"

#include <QPainter>
#include <QPainterPath>

namespace esc {

QPixmap escrivonLogo(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 100.0, size / 100.0);
  p.setPen(QPen(QColor("#1d3d7a"), 3));
  p.setBrush(QColor("#f4efe0"));
  p.drawRoundedRect(QRectF(12, 14, 64, 76), 4, 4);
  p.setPen(QPen(QColor("#7a8db5"), 2));
  for (int y = 30; y <= 78; y += 8)
    p.drawLine(20, y, 68, y);
  p.setPen(QPen(QColor("#b02020"), 2));
  p.drawLine(44, 22, 44, 84);
  QPainterPath pen;
  pen.moveTo(58, 70);
  pen.lineTo(88, 20);
  pen.lineTo(94, 24);
  pen.lineTo(64, 74);
  pen.closeSubpath();
  p.setPen(QPen(QColor("#333333"), 1.5));
  p.setBrush(QColor("#c9a227"));
  p.drawPath(pen);
  return pm;
}

} // namespace esc
