#pragma once
// The help topic dialog and the help window over their models.
#include <QAction>
#include <QDialog>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>

#include "app/Help.h"

namespace hv {

class THelpLstDlg : public QDialog {
 public:
  THelpLstDlg(HelpLstDlgModel& model, QWidget* parent = nullptr);

  QListWidget* HlpLstBox;
  QMenu* Topics1;
  QAction* FindTopic1;
  QAction* ReadPrintTopic1;
  QAction* CloseHelpTopics1;

  void FormActivate();
  void Search1Click();
  void Read1Click();
  void Close1Click();

 private:
  void LoadFromModel();
  HelpLstDlgModel& model_;
};

class THelpWin : public QMainWindow {
 public:
  THelpWin(HelpWinModel& model, QWidget* parent = nullptr);
  ~THelpWin() override;

  QListWidget* ListBox1;
  QMenu* Topic1;
  QAction* PrintTopic1;
  QAction* SearchText1;
  QAction* ShowHelpTopics1;
  QAction* CloseTopicWindow1;
  QAction* Back1;

  HelpWinModel& model() { return model_; }
  // Shows the model's state again.
  void LoadFromModel();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  template <class F>
  void Run(F&& f);
  void StoreSelection();
  HelpWinModel& model_;
  bool hiding_ = false;
  bool placed_ = false;
  bool loading_ = false;
  int topicShown_ = 0;  // the model's TopicsLoaded when last loaded
};

// Makes the platform show THelpLstDlg for the topic dialog's model.
void RegisterHelpForms();

}  // namespace hv
