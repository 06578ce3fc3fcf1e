#pragma once
// The report window over its model, and the 80-column line editor.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/forms/InfoListForm.h"
#include "astrometry/AstromList.h"

namespace hv {

// The report window: a list window that also shows the Edit and Chart
// menus; the report owns the model.
class AstromListForm : public TInfoListForm1 {
 public:
  AstromListForm(AstromListModel& model, QWidget* parent = nullptr);

  AstromListModel& reportModel() { return static_cast<AstromListModel&>(model()); }
  void LoadFromModel() override;
};

class TEdit80Dlg : public QDialog {
 public:
  TEdit80Dlg(Edit80DlgModel& model, QWidget* parent = nullptr);

  QLineEdit* Edit1;
  QLabel* Label1;
  QLabel* Label2;
  QPushButton* OkBtn;
  QPushButton* CnclBtn;

  // Stores the edited line in the model and closes with OK.
  void OkBtnClick();

 private:
  Edit80DlgModel& model_;
};

// Makes the platform show the line editor for its model.
void RegisterAstromListForms();

}  // namespace hv
