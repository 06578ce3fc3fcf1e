#pragma once
// The blink window's form (its own menus, pop-up and timer over the image
// window's client area), the alignment dialog's form and the two small
// dialogs' forms.
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <array>

#include "images/Blink.h"
#include "images/forms/ImageForm.h"

class QAction;
class QLabel;
class QPushButton;

namespace hv {

class TBlinkInitForm1Widget;

class TBlinkForm1Widget : public TImageForm1Widget {
  Q_OBJECT
 public:
  explicit TBlinkForm1Widget(TBlinkForm1& model, QWidget* parent = nullptr);
  ~TBlinkForm1Widget() override;

  TBlinkForm1& Blink() { return model_; }
  QTimer& BlinkTimer() { return timer_; }
  QAction* Action(const char* name) const;
  TBlinkInitForm1Widget* InitDialog() const { return init_; }

  void StateChanged() override;
  // Once, before the first showing: the screen's centre.
  void CentreOnFirstShowing();

 protected:
  // A restore from the task bar is no new showing.
  void showEvent(QShowEvent* e) override;

 private:
  void BuildBlinkMenus();
  TBlinkForm1& model_;
  QTimer timer_;
  QPointer<TBlinkInitForm1Widget> init_;
  bool centred_ = false;
  QAction *adjust1_ = nullptr, *fieldAlignment1_ = nullptr, *fieldAlignment2_ = nullptr;
  QAction *blinkOptions1_ = nullptr, *blinkRate1_ = nullptr, *zoom1_ = nullptr, *zoom2_ = nullptr;
  QAction *unZoom1_ = nullptr, *blink1_ = nullptr, *stop1_ = nullptr, *target1_ = nullptr;
  QAction *imageParameters1_ = nullptr, *imageDisplay1_ = nullptr;
  std::array<QAction*, 4> mainImages_{}, popupImages_{};
};

class TBlinkInitForm1Widget : public QDialog, public BlinkInitView {
  Q_OBJECT
 public:
  TBlinkInitForm1Widget(TBlinkInitForm1& model, QWidget* parent);
  ~TBlinkInitForm1Widget() override;
  void StateChanged() override;
  QPushButton* Continue() const { return cont_; }
  QPushButton* Cancel() const { return cancel_; }
  QLabel* Message() const { return msg1_; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  TBlinkInitForm1& m_;
  QLabel *msg1_, *msg2_;
  QPushButton *cont_, *cancel_;
};

// Registers the two small blink dialogs' forms with the Qt platform.
void RegisterBlinkForms();

}  // namespace hv
