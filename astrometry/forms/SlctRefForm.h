#pragma once
// The measurement guide and its go-back dialog over their models.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>
#include <functional>

#include "astrometry/SlctRef.h"

namespace hv {

// The small always-on-top guide window.
class TSlctRefForm1 : public QWidget {
 public:
  TSlctRefForm1(SlctRefModel& model, QWidget* parent = nullptr);
  ~TSlctRefForm1() override;

  QLabel* Label1;
  QPushButton* OKBtn;
  QPushButton* CnclBtn;
  QPushButton* AllBtn;
  QCheckBox* CheckBox1;

  // Shows the model again: caption, instruction, buttons, visibility.
  void Load();
  // Places the guide each time the model makes it visible.
  std::function<void(QWidget&)> PlaceOnShow;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  // A handler's failure is shown, never passed into the event loop.
  template <class F>
  void Guarded(F f);
  SlctRefModel& model_;
};

class TRefCnclForm1 : public QDialog {
 public:
  TRefCnclForm1(RefCnclModel& model, QWidget* parent = nullptr);
  std::array<QRadioButton*, RefCnclModel::Count> Buttons{};
  QPushButton* OKBtn;
  QPushButton* CnclBtn;
  // Stores the checked button and runs the model's handler (both buttons).
  void OKBtnClick(bool ok);

 private:
  RefCnclModel& model_;
};

// Makes the platform show TRefCnclForm1 for the go-back model.
void RegisterRefCnclForm();

}  // namespace hv
