#pragma once
// The text-list window: a stay-on-top list of lines over an InfoListModel.
// Every menu handler is virtual; each calls the model's handler (itself
// virtual, so a descendant's model decides) and then shows the model again.
#include <QAction>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <memory>

#include "app/InfoList.h"

namespace hv {

class TInfoListForm1 : public QMainWindow {
 public:
  // The form owns its model.
  TInfoListForm1(std::unique_ptr<InfoListModel> model, QWidget* parent = nullptr);
  TInfoListForm1(Platform& platform, ListHost& host, QWidget* parent = nullptr);
  // Shows a model that another object owns (a report's or an image's list);
  // the model must outlive the form.
  TInfoListForm1(InfoListModel& model, QWidget* parent = nullptr);

  InfoListModel& model() { return *model_; }
  // Shows the model's lines, caption and menu state; a descendant's form
  // adds the menu state its model adds.
  virtual void LoadFromModel();
  // Sizes the window to its lines and shows it.
  void ShowList();

  QListWidget* ListBox1;
  QMenu *ListMenu, *EditMenu, *ActionMenu, *ChartMenu;
  QAction *Search1, *Print1, *SaveText1, *SaveasText1, *CommaDelimit, *Close1;
  QAction *UndoEdit, *EditSelectedText1, *EditObservationParameters1, *DeleteSelectedItem1;
  QAction *UsrPop1, *CamPop1, *SitePop1;
  QAction *EditHeaderSep, *EditHeader1;  // the "Edit Header &Information" submenu
  QAction *AccessSelectedRecord1, *DeleteSelectedRecord1, *Plot1;

  virtual void Search1Click();
  virtual void Print1Click();
  virtual void SaveasText1Click();
  virtual void CommaDelimitClick();
  virtual void Close1Click();
  virtual void UndoEditClick();
  virtual void EditSelectedText1Click();
  virtual void EditObservationParameters1Click();
  virtual void DeleteSelectedItem1Click();
  virtual void UsrPop1Click();
  virtual void CamPop1Click();
  virtual void SitePop1Click();
  virtual void AccessSelectedRecord1Click();
  virtual void DeleteSelectedRecord1Click();
  virtual void FormDblClick();
  virtual void ListBox1Click();
  virtual void Plot1Click();

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  // Runs a model handler with the list's selection stored first.
  // A handler's failure (a file that cannot be written) is shown as the
  // application's error box; the window stays as the model left it.
  template <class F>
  void Run(F&& f) {
    StoreSelection();
    try {
      f();
    } catch (const std::exception& e) {
      ShowFailure(e.what());
    }
    LoadFromModel();
  }
  void ShowFailure(const char* what);
  void StoreSelection();

 private:
  void Build();
  std::unique_ptr<InfoListModel> owned_;
  InfoListModel* model_;
  bool loading_ = false;
  std::uint64_t linesShown_ = 0;  // the model's LinesSet() the list holds
};

}  // namespace hv
