#pragma once
// The magnifier's form: a small black tool window, always on top, that
// copies a square of the measured image window's painted client area,
// enlarged, and draws an inverting cross hair over it.
#include <QMenu>
#include <QWidget>

#include "images/MagnifyDlg.h"

namespace hv {

class TCursorWindowWidget : public QWidget {
  Q_OBJECT
 public:
  TCursorWindowWidget(TCursorWindow& model, Platform& platform, QWidget* parent = nullptr);
  ~TCursorWindowWidget() override;
  TCursorWindow& Model() { return model_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  TCursorWindow& model_;
  Platform& platform_;
  QMenu popup_;
};

}  // namespace hv
