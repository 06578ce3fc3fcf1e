#include "images/forms/CursorWindowForm.h"

#include <QMouseEvent>
#include <QPainter>

#include "images/ImageWindow.h"
#include "images/forms/ImageForm.h"
#include "platform/qt/QtPlatform.h"

namespace hv {

TCursorWindowWidget::TCursorWindowWidget(TCursorWindow& model, Platform& platform, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      model_(model),
      platform_(platform) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(model.DestRect.Width(), model.DestRect.Height());
  setWindowTitle(ToQ(model.Caption));
  connect(popup_.addAction("Set Region &Size..."), &QAction::triggered, this,
          [this] { model_.SetRegionSize1Click(platform_); });
  model_.Changed = [this] {
    setWindowTitle(ToQ(model_.Caption));
    update();
  };
}

TCursorWindowWidget::~TCursorWindowWidget() { model_.Changed = nullptr; }

void TCursorWindowWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  if (!model_.HasRegion()) return;
  TImageForm1* source = model_.Source();
  auto* form = source ? dynamic_cast<TImageForm1Widget*>(source->View()) : nullptr;
  if (form) {
    const QImage surface = form->GrabClient();
    const IntRect& s = model_.SourceRect;
    p.drawImage(QRect(0, 0, width(), height()), surface,
                QRect(s.Left, s.Top, s.Width(), s.Height()));
  }
  // The cross hair inverts what lies under it.
  p.setCompositionMode(QPainter::RasterOp_NotDestination);
  p.setPen(QPen(Qt::white, 1));
  const int x = model_.CrossX, y = model_.CrossY;
  p.drawLine(x - 20, y, x + 20, y);
  p.drawLine(x, y - 20, x, y + 20);
}

void TCursorWindowWidget::mousePressEvent(QMouseEvent* e) {
  model_.FormMouseDown(e->button() == Qt::RightButton);
}

void TCursorWindowWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (model_.FormMouseUp(e->button() == Qt::RightButton)) {
    const QPoint at = e->position().toPoint();
    popup_.popup(mapToGlobal(QPoint(at.x() + 10, at.y() + 20)));
  }
}

}  // namespace hv
