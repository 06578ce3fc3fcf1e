#pragma once
// The site, camera and user dialogs over their models, and the two pick
// lists as text-list windows shown modally.
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include "app/SiteCamDlgs.h"
#include "app/forms/InfoListForm.h"

namespace hv {

// A pick list: a normal (not stay-on-top) list window run modally until
// its Access or Close hides it.
class PickListForm : public TInfoListForm1 {
 public:
  PickListForm(InfoListModel& model, QWidget* parent);
  // Shows the list and returns when it is hidden.
  void Exec();

 protected:
  void hideEvent(QHideEvent* e) override;

 private:
  QEventLoop* loop_ = nullptr;
};

class SiteListForm : public PickListForm {
 public:
  SiteListForm(SiteListModel& model, QWidget* parent = nullptr) : PickListForm(model, parent) {}
};

class CamListForm : public PickListForm {
 public:
  CamListForm(CamListModel& model, QWidget* parent = nullptr) : PickListForm(model, parent) {}
};

class TSiteParmsDlg : public QDialog {
 public:
  TSiteParmsDlg(SiteParmsDlgModel& model, QWidget* parent = nullptr);

  QGroupBox* LongGrp;
  QLineEdit *LngDegEd, *LngMinEd, *LngSecEd;
  QRadioButton *WestBtn, *EastBtn;
  QGroupBox* LatGrp;
  QLineEdit *LatDegEd, *LatMinEd, *LatSecEd;
  QRadioButton *NorthBtn, *SouthBtn;
  QGroupBox* ObsGrp;
  QLabel *ObsNmLbl, *ObsCdLbl, *ScopeLbl, *Htlbl, *ZnLbl;
  QLineEdit *ObsNmEd, *ObsCdEd, *ScopeEd, *HtEd, *ZnEd;
  QPushButton *OKBtn, *CnclBtn, *FileBtn;
  QMenu* PopupMenu1;
  QAction *FindSite1, *SaveSite1;

  void Load();   // the widgets from the model
  void Store();  // what was typed into the model
  void OKBtnClick();
  void FileBtnClik();
  void FindSite1Click();
  void SaveSite1Click();

 private:
  SiteParmsDlgModel& model_;
};

class TCamParmsDlg : public QDialog {
 public:
  TCamParmsDlg(CamParmsDlgModel& model, QWidget* parent = nullptr);

  QLineEdit *NameEd, *WdthEd, *HtEd, *WdPixEd, *HtPixEd, *AptrEd, *FLEd;
  QCheckBox* InvertBox;
  QGroupBox* MagGrp;
  QButtonGroup* MagButtons;
  QGroupBox* ShowGrp;
  QButtonGroup* ShowButtons;
  QPushButton *OKBtn, *CnclBtn, *FileBtn;
  QMenu* PopupMenu1;
  QAction *FindCam1, *SaveCam1;

  void Load();
  void Store();
  void OKBtnClick();
  void ShowGrpClick();
  void FileBtnClick();
  void FindCam1Click();
  void SaveCam1Click();

 private:
  CamParmsDlgModel& model_;
};

class TUsrParmsDlg : public QDialog {
 public:
  TUsrParmsDlg(UsrParmsDlgModel& model, QWidget* parent = nullptr);

  QLineEdit *NameEd, *InstEd, *StreetEd, *CityEd, *CntryEd, *EMailEd, *ObsEd, *MeasEd;
  QPushButton *OKBtn, *CancelBtn;

  void Load();
  void OKBtnClick();

 private:
  UsrParmsDlgModel& model_;
};

// Makes the platform show these forms for their models.
void RegisterSiteCamForms();

}  // namespace hv
