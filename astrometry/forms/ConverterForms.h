#pragma once
// The catalog converter's dialog and the progress window over their models.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <functional>

#include "astrometry/GSCCnvrt.h"
#include "astrometry/Progress.h"

namespace hv {

// A line edit whose double-click browses.
class TBrowseEdit : public QLineEdit {
 public:
  std::function<void()> DoubleClicked;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* e) override;
};

class TGSCCnvrtDlg : public QDialog {
 public:
  TGSCCnvrtDlg(TGSCCnvrtForm1& model, QWidget* parent = nullptr);

  QLabel *InPath1Lbl, *InPath2Lbl, *OutPathLbl;
  TBrowseEdit *InPath1Ed, *InPath2Ed, *OutPathEd;
  QCheckBox* RstrtCk;
  QPushButton* OKBtn;
  QPushButton* CnclBtn;

  // Stores the edits and runs the model's OK; a refusal keeps it open.
  void OKBtnClick();

 private:
  void Store();
  void Load();
  // A folder field double-clicked: the model asks the folder chooser and
  // fills its edit.
  void Browse(void (TGSCCnvrtForm1::*handler)());
  TGSCCnvrtForm1& model_;
};

// The progress window: modeless, on top, application-modal while the work
// runs; its close box asks the cancel question then.
class TGaugeWindow : public QWidget {
 public:
  explicit TGaugeWindow(TGaugeForm2& model);

  QLabel *Label1, *DirName;
  QLabel *PrCntLbl, *PrCntText, *ElpsdLbl, *ElpsdText, *EstTmLbl, *EstTmText, *CrntFlLbl,
      *CrntFlText;
  QProgressBar* Gauge;
  QPushButton* OKBtn;
  QPushButton* CnclBtn;

  // Follows the model at once: texts, buttons, shown (modal while running)
  // and repainted, or hidden.
  void Follow();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  TGaugeForm2& model_;
};

void RegisterConverterForms();
// After CreateCatalogObjects: the progress window follows GaugeForm2.
// FreeConverterForms before FreeCatalogObjects.
void CreateConverterForms();
void FreeConverterForms();
// The window of GaugeForm2, for tests; null before CreateConverterForms.
TGaugeWindow* GaugeWindow();

}  // namespace hv
