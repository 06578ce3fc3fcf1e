#pragma once
// Top-level windows placed by their frame. Qt moves a window by its frame
// once the window manager has told the frame, but a window that was made
// and not yet shown, or shown a moment ago, is moved by its client area:
// at (0, 0) its title bar would lie above the screen. These helpers place
// the frame on the first showing as on later ones.
#include <QMargins>
#include <QPoint>
#include <QSize>
#include <QWidget>
#include <string>

#include "platform/Platform.h"

namespace hv {

// The window's frame margins: its own when the window manager has told
// them, else those of another shown window (they are alike on one
// desktop), else none.
QMargins FrameMargins(const QWidget& window);

// The window's present size with its frame (lay it out first).
QSize FrameSize(const QWidget& window);

// Puts the frame's top-left corner at the point, shown or not; a window
// shown before its frame was known is moved again once it is.
void MoveFrame(QWidget& window, QPoint frameTopLeft);

// A client width at which a title bar shows the whole caption: the text in
// a bold title font, with room for the window icon and its three buttons.
int TitleFitWidth(const QString& caption);

// A widget as the platform layer places it.
class WidgetPlacement : public PlacedWindow {
 public:
  explicit WidgetPlacement(QWidget& window) : window_(window) {}
  std::string caption() const override;
  void moveFrame(int left, int top) override { MoveFrame(window_, QPoint(left, top)); }

 private:
  QWidget& window_;
};

// Places the window through the platform (which records it in tests).
inline void PlaceFrame(Platform& platform, QWidget& window, QPoint frameTopLeft) {
  WidgetPlacement w(window);
  platform.placeWindow(w, frameTopLeft.x(), frameTopLeft.y());
}

}  // namespace hv
