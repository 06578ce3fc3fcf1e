#pragma once
// The indicator faces' canvas over a QPainter, with the system colours taken
// from a widget's palette; and the library's text and border drawing.
#include <QColor>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QString>

#include "controls/Canvas.h"
#include "controls/Colors.h"

namespace hv {

inline QColor ToQColor(TColor c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
inline TColor FromQColor(const QColor& c) {
  return MakeColor(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                   static_cast<std::uint8_t>(c.blue()));
}
inline QRect ToQRect(const Rect& r) {
  return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// The system colours as this palette shows them.
SystemColorTable SystemColorsFrom(const QPalette& palette);

class QtCanvas : public Canvas {
 public:
  QtCanvas(QPainter& painter, const QPalette& palette);
  void FillRect(const Rect& box, TColor color) override;
  void Ellipse(const Rect& box, TColor brush, TColor pen) override;
  void Arc(const Rect& box, Point start, Point end, TColor pen) override;
  void Edge(const Rect& box, bool raised) override;
  TColor Resolve(TColor color) const override { return colors_.Resolve(color); }
  QPainter& painter() { return painter_; }

 private:
  Rect Clip() const;
  QPainter& painter_;
  SystemColorTable colors_;
};

// Flags of DrawTextRect.
namespace TextFlags {
constexpr unsigned Left = 0x0000, Center = 0x0002, Right = 0x0004, VCenter = 0x0010,
                   Bottom = 0x0020, WordBreak = 0x0040, SingleLine = 0x0080, ExpandTabs = 0x0100,
                   NoClip = 0x0200, Prefix = 0x0400, CalcRect = 0x0800, EndEllipsis = 0x1000,
                   PathEllipsis = 0x2000, WordEllipsis = 0x4000, ModifyString = 0x8000;
}

// Draws text into the box with the painter's font and pen; ampersands are
// drawn as they are unless Prefix is given. With CalcRect nothing is drawn
// and box becomes the rectangle the text needs. An ellipsis flag shortens a
// line that does not fit; with ModifyString text becomes what was drawn.
// Answers the height of the drawn text.
int DrawTextRect(QPainter& painter, QString& text, QRect& box, unsigned flags);

// Style 0 a sunken edge, 1 a raised edge, 2 a closed outline in the button
// shadow colour filled with the painter's brush (right and bottom corners one
// pixel inside); other styles nothing.
void DrawBorder(QPainter& painter, const QPalette& palette, const QRect& box, int style);

}  // namespace hv
