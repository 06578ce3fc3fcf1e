#include "controls/forms/QtCanvas.h"

#include <QFontMetrics>
#include <QPolygon>

namespace hv {

SystemColorTable SystemColorsFrom(const QPalette& p) {
  SystemColorTable t;
  auto set = [&](std::size_t index, QPalette::ColorRole role,
                 QPalette::ColorGroup group = QPalette::Active) {
    t.Set(index, FromQColor(p.color(group, role)));
  };
  set(1, QPalette::Window);
  set(4, QPalette::Window);
  set(5, QPalette::Base);
  set(7, QPalette::WindowText);
  set(8, QPalette::Text);
  set(13, QPalette::Highlight);
  set(14, QPalette::HighlightedText);
  set(15, QPalette::Button);
  set(16, QPalette::Dark);
  set(17, QPalette::Text, QPalette::Disabled);
  set(18, QPalette::ButtonText);
  set(20, QPalette::Light);
  set(21, QPalette::Shadow);
  set(22, QPalette::Midlight);
  set(23, QPalette::ToolTipText);
  set(24, QPalette::ToolTipBase);
  return t;
}

QtCanvas::QtCanvas(QPainter& painter, const QPalette& palette)
    : painter_(painter), colors_(SystemColorsFrom(palette)) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
}

void QtCanvas::FillRect(const Rect& box, TColor color) {
  if (box.right <= box.left || box.bottom <= box.top) return;
  painter_.fillRect(ToQRect(box), ToQColor(color));
}

void QtCanvas::Ellipse(const Rect& box, TColor brush, TColor pen) {
  // Pen and brush alike here; a different pen rings the filled body.
  const QColor fill = ToQColor(brush), ring = ToQColor(pen);
  EllipsePixels(box, Clip(), false, 0, 360,
                [&](std::int32_t x, std::int32_t y) { painter_.fillRect(x, y, 1, 1, fill); });
  if (pen != brush)
    EllipsePixels(box, Clip(), true, 0, 360,
                  [&](std::int32_t x, std::int32_t y) { painter_.fillRect(x, y, 1, 1, ring); });
}

void QtCanvas::Arc(const Rect& box, Point start, Point end, TColor pen) {
  const double from = RayAngle(box, start);
  double span = RayAngle(box, end) - from;
  if (span <= 0) span += 360;  // the same ray twice: the whole ellipse
  const QColor ring = ToQColor(pen);
  EllipsePixels(box, Clip(), true, from, span,
                [&](std::int32_t x, std::int32_t y) { painter_.fillRect(x, y, 1, 1, ring); });
}

Rect QtCanvas::Clip() const {
  const QRect w = painter_.window();
  return Rect{w.left(), w.top(), w.right() + 1, w.bottom() + 1};
}

void QtCanvas::Edge(const Rect& box, bool raised) {
  // Two rings: the outer one light/dark-shadow (raised), the inner one
  // highlight/shadow; sunken the other way round.
  QRect r = ToQRect(box);
  auto ring = [&](const QRect& q, TColor topLeft, TColor bottomRight) {
    if (q.width() < 1 || q.height() < 1) return;
    painter_.setPen(QPen(ToQColor(Resolve(topLeft)), 0));
    painter_.drawLine(q.topLeft(), q.topRight());
    painter_.drawLine(q.topLeft(), q.bottomLeft());
    painter_.setPen(QPen(ToQColor(Resolve(bottomRight)), 0));
    painter_.drawLine(q.bottomLeft(), q.bottomRight());
    painter_.drawLine(q.topRight(), q.bottomRight());
  };
  constexpr TColor light3D = 0xFF000016, darkShadow3D = 0xFF000015;
  if (raised) {
    ring(r, light3D, darkShadow3D);
    ring(r.adjusted(1, 1, -1, -1), clBtnHighlight, clBtnShadow);
  } else {
    ring(r, clBtnShadow, clBtnHighlight);
    ring(r.adjusted(1, 1, -1, -1), darkShadow3D, light3D);
  }
}

int DrawTextRect(QPainter& painter, QString& text, QRect& box, unsigned flags) {
  int qt = 0;
  if (flags & TextFlags::Center)
    qt |= Qt::AlignHCenter;
  else if (flags & TextFlags::Right)
    qt |= Qt::AlignRight;
  else
    qt |= Qt::AlignLeft;
  if (flags & TextFlags::VCenter)
    qt |= Qt::AlignVCenter;
  else if (flags & TextFlags::Bottom)
    qt |= Qt::AlignBottom;
  else
    qt |= Qt::AlignTop;
  if (flags & TextFlags::WordBreak) qt |= Qt::TextWordWrap;
  if (flags & TextFlags::SingleLine) qt |= Qt::TextSingleLine;
  if (flags & TextFlags::ExpandTabs) qt |= Qt::TextExpandTabs;
  if (flags & TextFlags::NoClip) qt |= Qt::TextDontClip;
  if (flags & TextFlags::Prefix) qt |= Qt::TextShowMnemonic;

  QString shown = text;
  const unsigned ellipsis =
      flags & (TextFlags::EndEllipsis | TextFlags::PathEllipsis | TextFlags::WordEllipsis);
  if (ellipsis) {
    QFontMetrics fm(painter.font());
    Qt::TextElideMode mode = (flags & TextFlags::PathEllipsis) ? Qt::ElideMiddle : Qt::ElideRight;
    shown = fm.elidedText(text, mode, box.width());
    if (flags & TextFlags::ModifyString) text = shown;
  }
  if (flags & TextFlags::CalcRect) {
    QRect need = painter.boundingRect(box, qt, shown);
    box.setWidth(need.width());
    box.setHeight(need.height());
    return need.height();
  }
  QRect drawn;
  painter.drawText(box, qt, shown, &drawn);
  return drawn.height();
}

void DrawBorder(QPainter& painter, const QPalette& palette, const QRect& box, int style) {
  QtCanvas canvas(painter, palette);
  Rect r{box.left(), box.top(), box.right() + 1, box.bottom() + 1};
  switch (style) {
    case 0:
      canvas.Edge(r, false);
      break;
    case 1:
      canvas.Edge(r, true);
      break;
    case 2: {
      QPolygon poly;
      poly << QPoint(r.left, r.top) << QPoint(r.right - 1, r.top)
           << QPoint(r.right - 1, r.bottom - 1) << QPoint(r.left, r.bottom - 1);
      painter.setPen(QPen(ToQColor(canvas.Resolve(clBtnShadow)), 0));
      painter.drawPolygon(poly);
      break;
    }
    default:
      break;
  }
}

}  // namespace hv
