#include "images/forms/ImageForm.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <cstring>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"

namespace hv {

namespace {
QColor ToColor(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb)); }
QRect ToQRect(const IntRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }
QFont WindowFont() {
  QFont f("MS Sans Serif", 8);
  f.setStyleHint(QFont::SansSerif);
  return f;
}
}  // namespace

Qt::CursorShape QtCursor(CursorShape shape) {
  switch (shape) {
    case CursorShape::CrossHair:
      return Qt::CrossCursor;
    case CursorShape::SizeNWSE:
      return Qt::SizeFDiagCursor;
    case CursorShape::Drag:
      return Qt::OpenHandCursor;
    case CursorShape::Hourglass:
      return Qt::WaitCursor;
    case CursorShape::Arrow:
      break;
  }
  return Qt::ArrowCursor;
}

// ---------------------------------------------------------------- canvas

void QtImageCanvas::DrawBitmap(const DisplayBitmap& bm, const IntRect& src, const IntRect& dest,
                               bool invert) {
  if (bm.empty() || dest.Width() <= 0 || dest.Height() <= 0) return;
  StretchCache& cache = cache_;
  if (cache.generation != bm.Generation || !(cache.src == src) ||
      cache.dest.Width() != dest.Width() || cache.dest.Height() != dest.Height()) {
    cache.generation = bm.Generation;
    cache.src = src;
    cache.dest = dest;
    cache.indexes = StretchIndexes(bm, src.Left, src.Top, src.Width(), src.Height(), dest.Width(),
                                   dest.Height());
  }
  QImage img(cache.indexes.data(), dest.Width(), dest.Height(), PaddedRowBytes(dest.Width()),
             QImage::Format_Indexed8);
  QList<QRgb> table(256);
  for (int i = 0; i < 256; ++i)
    table[i] = invert ? (0xFF000000u | (~bm.Colours[i] & 0xFFFFFFu)) : bm.Colours[i];
  img.setColorTable(table);
  p_.drawImage(QPoint(dest.Left, dest.Top), img);
}

void QtImageCanvas::Frame(const IntRect& r, std::uint32_t rgb, bool dotted) {
  QPen pen(ToColor(rgb));
  pen.setWidth(0);
  pen.setStyle(dotted ? Qt::DotLine : Qt::SolidLine);
  p_.setPen(pen);
  p_.setBrush(Qt::NoBrush);
  // A Windows rectangle covers left .. right - 1.
  p_.drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
}

void QtImageCanvas::Line(int x1, int y1, int x2, int y2, std::uint32_t rgb) {
  p_.setPen(QPen(ToColor(rgb), 0));
  p_.drawLine(x1, y1, x2, y2);
}

void QtImageCanvas::Text(int x, int y, std::string_view text, std::uint32_t rgb) {
  p_.setPen(ToColor(rgb));
  p_.drawText(x, y + p_.fontMetrics().ascent(), ToQ(text));
}

int QtImageCanvas::TextHeight(std::string_view) { return p_.fontMetrics().height(); }

// ----------------------------------------------------------- client area

class ImageClientArea : public QWidget {
 public:
  ImageClientArea(TImageForm1& m, QWidget* parent) : QWidget(parent), model_(m) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFont(WindowFont());
    setFixedSize(m.ClientWidth, m.ClientHeight);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setFont(font());
    p.fillRect(rect(), Qt::black);
    QtImageCanvas canvas(p, cache_);
    model_.FormPaint(canvas);
  }
  static MouseButton Button(Qt::MouseButton b) {
    return b == Qt::RightButton  ? MouseButton::Right
           : b == Qt::LeftButton ? MouseButton::Left
                                 : MouseButton::Middle;
  }
  void mousePressEvent(QMouseEvent* e) override {
    const QPoint p = e->position().toPoint();
    model_.FormMouseDown(Button(e->button()), p.x(), p.y());
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    const QPoint p = e->position().toPoint();
    model_.FormMouseMove(p.x(), p.y());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    const QPoint p = e->position().toPoint();
    model_.FormMouseUp(Button(e->button()), p.x(), p.y());
  }
  void mouseDoubleClickEvent(QMouseEvent*) override { model_.FormDblClick(); }

 private:
  TImageForm1& model_;
  QtImageCanvas::StretchCache cache_;  // this window's bitmap only
};

// ------------------------------------------------------------------ form

TImageForm1Widget::TImageForm1Widget(TImageForm1& model, QWidget* parent)
    : TImageForm1Widget(model, parent, true) {}

TImageForm1Widget::TImageForm1Widget(TImageForm1& model, QWidget* parent, bool imageMenus)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      model_(model) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  menuBar_ = new QMenuBar(this);
  layout->setMenuBar(menuBar_);
  client_ = new ImageClientArea(model_, this);
  // Black with lime text is the image area's; the menu bar keeps the
  // desktop's colours so that its items stay readable.
  QPalette pal = client_->palette();
  pal.setColor(QPalette::Window, Qt::black);
  pal.setColor(QPalette::WindowText, QColor(0, 255, 0));
  client_->setPalette(pal);
  layout->addWidget(client_);
  if (imageMenus) BuildMenus();
  model_.SetView(this);
  // The right half of the screen.
  if (QScreen* sc = screen()) MoveFrame(*this, QPoint(sc->geometry().width() / 2 - 2, 0));
  StateChanged();
}

TImageForm1Widget::~TImageForm1Widget() {
  if (model_.View() == this) model_.SetView(nullptr);
}

QWidget* TImageForm1Widget::Client() const { return client_; }

void TImageForm1Widget::BuildMenus() {
  auto on = [this](QAction* a, auto f) { connect(a, &QAction::triggered, this, f); };
  QMenu* image = menuBar_->addMenu("&Image");
  QMenu* info = image->addMenu("&Information");
  on(info->addAction("File &Header..."), [this] { model_.Header1Click(); });
  on(info->addAction("&Image..."), [this] { model_.Image1Click(); });
  image->addSeparator();  // N7
  on(image->addAction("&Adjust Image..."), [this] { model_.AdjustImage1Click(); });
  on(image->addAction("&Resize Image..."), [this] { model_.ResizeWindow1Click(); });
  sepN2_ = image->addSeparator();
  zoom1_ = image->addAction("&Zoom Image...");
  unzoom1_ = image->addAction("C&Lear Zoom");
  on(zoom1_, [this] { model_.ZoomImage1Click(); });
  on(unzoom1_, [this] { model_.UnZoomImage1Click(); });
  image->addSeparator();  // N8
  on(image->addAction("\"&Box\" Parameters..."), [this] { model_.BoxParameters1Click(); });
  image->addSeparator();  // N9
  on(image->addAction("&Print Image..."), [this] { model_.PrintImage1Click(); });
  image->addSeparator();  // N4
  on(image->addAction("&Close"), [this] { model_.Close1Click(); });

  QMenu* object = menuBar_->addMenu("&Object");
  on(object->addAction("Observation &Parameters..."), [this] {
    if (OnObsParms)
      OnObsParms();
    else
      model_.ObsParms1Click();
  });
  QMenu* solution = object->addMenu("&Solution Results...");
  solution_ = solution->menuAction();
  on(solution->addAction("&View/Print..."), [this] {
    if (OnViewPrint)
      OnViewPrint();
    else
      model_.ViewPrint1Click();
  });
  solution->addSeparator();  // N3
  reportList_ = solution->addAction("&Add to Report List...");
  on(reportList_, [this] {
    if (OnReportList)
      OnReportList();
    else
      model_.ReportList1Click();
    StateChanged();
  });

  on(popup_.addAction("&Adjust Image..."), [this] { model_.AdjustImage1Click(); });
  on(popup_.addAction("&Resize Image..."), [this] { model_.ResizeWindow1Click(); });
  sepN6_ = popup_.addSeparator();
  zoom2_ = popup_.addAction("&Zoom Image...");
  unzoom2_ = popup_.addAction("C&Lear Zoom");
  on(zoom2_, [this] { model_.ZoomImage1Click(); });
  on(unzoom2_, [this] { model_.UnZoomImage1Click(); });
  popup_.addSeparator();  // N1
  on(popup_.addAction("\"&Box\" Parameters..."), [this] { model_.BoxParameters1Click(); });
}

void TImageForm1Widget::Repaint() { client_->update(); }

void TImageForm1Widget::RepaintNow(const IntRect& r) { client_->repaint(ToQRect(r)); }

void TImageForm1Widget::StateChanged() {
  setWindowTitle(ToQ(model_.Caption));
  if (client_->width() != model_.ClientWidth || client_->height() != model_.ClientHeight)
    client_->setFixedSize(model_.ClientWidth, model_.ClientHeight);
  client_->setCursor(QtCursor(model_.Cursor));
  setEnabled(model_.Enabled);
  if (!model_.Visible && isVisible()) hide();
  if (!zoom1_) return;
  const ImageMenuState& m = model_.Menus;
  for (QAction* a : {zoom1_, zoom2_}) {
    a->setEnabled(m.ZoomEnabled);
    a->setVisible(m.ZoomItemsVisible);
  }
  for (QAction* a : {unzoom1_, unzoom2_}) {
    a->setEnabled(m.UnZoomEnabled);
    a->setVisible(m.ZoomItemsVisible);
  }
  sepN2_->setVisible(m.ZoomItemsVisible);
  sepN6_->setVisible(m.ZoomItemsVisible);
  solution_->setEnabled(model_.SolutionAvailable());
  reportList_->setEnabled(model_.ReportListAvailable());
}

void TImageForm1Widget::PopupMenu(int clientX, int clientY) {
  popup_.popup(client_->mapToGlobal(QPoint(clientX + 10, clientY + 20)));
}

QImage TImageForm1Widget::GrabClient() const {
  // Marks painted for the grab must not move the magnifier.
  const bool mask = model_.InfoMask;
  model_.InfoMask = false;
  QImage img = client_->grab().toImage();
  model_.InfoMask = mask;
  return img;
}

bool TImageForm1Widget::ClientImage(IndexedImage& out) {
  const QImage img = GrabClient().convertToFormat(QImage::Format_RGB32);
  if (img.isNull()) return false;
  // 248 grey levels for the image and the window's mark colours after them.
  constexpr int kGreys = 248;
  const std::uint32_t marks[] = {
      MarkColour::Lime,    MarkColour::Blue, MarkColour::Red, MarkColour::Yellow,
      MarkColour::Fuchsia, MarkColour::Aqua, 0x000000u,       0xFFFFFFu};
  for (int i = 0; i < kGreys; ++i) {
    const std::uint32_t g = static_cast<std::uint32_t>((i * 255 + (kGreys - 1) / 2) / (kGreys - 1));
    out.colours[i] = 0xFF000000u | (g << 16) | (g << 8) | g;
  }
  for (int i = 0; i < 8; ++i) out.colours[kGreys + i] = 0xFF000000u | marks[i];
  out.width = img.width();
  out.height = img.height();
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    std::uint8_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * out.width;
    for (int x = 0; x < out.width; ++x) {
      const int r = qRed(row[x]), g = qGreen(row[x]), b = qBlue(row[x]);
      if (r == g && g == b) {
        dst[x] = static_cast<std::uint8_t>((g * (kGreys - 1) + 127) / 255);
        continue;
      }
      int best = 0, bestDist = 1 << 30;
      for (int i = 0; i < 8; ++i) {
        const int dr = r - static_cast<int>((marks[i] >> 16) & 0xFF);
        const int dg = g - static_cast<int>((marks[i] >> 8) & 0xFF);
        const int db = b - static_cast<int>(marks[i] & 0xFF);
        const int dist = dr * dr + dg * dg + db * db;
        if (dist < bestDist) {
          bestDist = dist;
          best = i;
        }
      }
      dst[x] = static_cast<std::uint8_t>(kGreys + best);
    }
  }
  return true;
}

void TImageForm1Widget::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  model_.FormShow();
}

void TImageForm1Widget::closeEvent(QCloseEvent* e) {
  e->ignore();  // the window is hidden, not freed
  if (!model_.FormCloseQuery()) return;
  model_.FormClose();
  hide();
}

}  // namespace hv
