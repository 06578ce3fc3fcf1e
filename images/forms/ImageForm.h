#pragma once
// The image window's form: a menu bar and a client area of the model's size
// that paints the model's display bitmap and marks and forwards the mouse.
// The magnifier and printing read its painted client area.
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "images/ImageWindow.h"

class QAction;
class QMenuBar;
class QPainter;

namespace hv {

class ImageClientArea;

// The window's canvas on a painter. The bitmap is stretched on its indexes
// (kept per bitmap and size), so a palette change repaints without touching
// the pixels.
class QtImageCanvas : public ImageCanvas {
 public:
  // The stretched indexes of the last paint, kept by the painting widget.
  struct StretchCache {
    std::uint64_t generation = ~std::uint64_t{0};
    IntRect src, dest;
    std::vector<std::uint8_t> indexes;
  };
  QtImageCanvas(QPainter& p, StretchCache& cache) : p_(p), cache_(cache) {}
  void DrawBitmap(const DisplayBitmap& bitmap, const IntRect& source, const IntRect& dest,
                  bool invert) override;
  void Frame(const IntRect& r, std::uint32_t rgb, bool dotted) override;
  void Line(int x1, int y1, int x2, int y2, std::uint32_t rgb) override;
  void Text(int x, int y, std::string_view text, std::uint32_t rgb) override;
  int TextHeight(std::string_view text) override;

 private:
  QPainter& p_;
  StretchCache& cache_;
};

class TImageForm1Widget : public QWidget, public ImageWindowView {
  Q_OBJECT
 public:
  explicit TImageForm1Widget(TImageForm1& model, QWidget* parent = nullptr);
  ~TImageForm1Widget() override;

  TImageForm1& Model() { return model_; }
  QWidget* Client() const;
  // The client area as painted now (marks included).
  QImage GrabClient() const;

  // The object commands belong to the solution code; it connects them here.
  std::function<void()> OnObsParms, OnViewPrint, OnReportList;

  // ImageWindowView
  void Repaint() override;
  void RepaintNow(const IntRect& r) override;
  void StateChanged() override;
  void PopupMenu(int clientX, int clientY) override;
  bool ClientImage(IndexedImage& out) override;

 protected:
  // A descendant with menus of its own builds none of the image window's.
  TImageForm1Widget(TImageForm1& model, QWidget* parent, bool imageMenus);
  // For the descendants' own menu items.
  QMenuBar* MenuBar() const { return menuBar_; }
  QMenu& Popup() { return popup_; }
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildMenus();
  TImageForm1& model_;
  ImageClientArea* client_ = nullptr;
  QMenuBar* menuBar_ = nullptr;
  QMenu popup_;
  QAction *zoom1_ = nullptr, *unzoom1_ = nullptr, *zoom2_ = nullptr, *unzoom2_ = nullptr;
  QAction *sepN2_ = nullptr, *sepN6_ = nullptr, *solution_ = nullptr,
          *reportList_ = nullptr;
};

// Qt's cursor for the model's shape.
Qt::CursorShape QtCursor(CursorShape shape);

}  // namespace hv
