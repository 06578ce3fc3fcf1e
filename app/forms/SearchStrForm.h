#pragma once
// The search-text dialog over its model.
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

#include "app/InfoList.h"

namespace hv {

class TGetSrchStrDlg : public QDialog {
 public:
  TGetSrchStrDlg(SearchStrModel& model, QWidget* parent = nullptr);

  QLineEdit* SrchStr1;
  QCheckBox* CaseCheck;

 private:
  void Finish(ModalResult (SearchStrModel::*button)());
  SearchStrModel& model_;
};

// Makes the platform show this form for the search dialog model.
void RegisterSearchForm();

}  // namespace hv
