#pragma once
// The catalog-path dialog and the information box over their models.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "astrometry/GSCRegions.h"

namespace hv {

class TCatlgPathForm : public QDialog {
 public:
  TCatlgPathForm(TCatlgPathDlg& model, QWidget* parent = nullptr);

  QLabel* DlgText;
  QLabel* DrvLbl;
  QLineEdit* DrvEd;
  QPushButton* OkBtn;
  QPushButton* CnclBtn;
  QPushButton* BrwsBtn;

  // Stores the entry and runs the model's OK.
  void OkBtnClick();

 private:
  TCatlgPathDlg& model_;
};

// The small box without border icons shown while catalogs load.
class TInfoBox : public QWidget {
 public:
  explicit TInfoBox(TInfoForm& model);
  QLabel* Label1;
  // Follows the model at once: shown and repainted, or hidden.
  void Follow();

 private:
  TInfoForm& model_;
};

// Registers the catalog-path form with the platform.
void RegisterCatalogForms();
// After CreateCatalogObjects: the information box follows InfoForm.
// FreeCatalogForms before FreeCatalogObjects.
void CreateCatalogForms();
void FreeCatalogForms();

}  // namespace hv
