#pragma once
#include <functional>
// The main window: shows the session's pictures and image list and mirrors
// its menu model; every menu command is the session's operation.
#include <QAction>
#include <QCursor>
#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <map>
#include <optional>
#include <string>

#include "app/Session.h"
#include "app/Startup.h"

namespace hv {

class TBendulak : public QMainWindow {
 public:
  explicit TBendulak(BendulakSession& session, QWidget* parent = nullptr);
  ~TBendulak() override;

  // Runs the creation (settings, shipped files, command line, session).
  void FormCreate(const StartupFacts& facts);
  // Shows the session's menu flags, caption and pictures again.
  void Mirror();
  // Runs the command of a menu item by its name, then mirrors the session.
  void Command(const std::string& itemName);

  BendulakSession& session() { return session_; }
  QAction* action(const std::string& itemName) const;
  // The image windows' cross-hair cursor (Qt's cross when the file failed).
  static QCursor CrossHairCursor();
  const QImage& titlePicture() const { return titlePicture_; }
  // The reference-field window's frame on the screen, for placing the
  // guide below it (the reference window's code sets it).
  std::function<QRect()> PlacedReferenceWindow;
  // The guide's form.
  class TSlctRefForm1* guideForm() const;
  // The form of a slot's image window (null: none).
  class TImageForm1Widget* imageForm(int slot) const;
  // The list window that shows a file's header listing or image data.
  class TInfoListForm1* listForm(const InfoListModel& model) const;
  // The help window, made with this window and kept for the whole run.
  class THelpWin* helpWindow() const;
  // Called once the window has closed: the run ends then, whatever other
  // window is still on the screen.
  std::function<void()> Closed;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildMenu();
  void Run(const std::string& itemName);
  std::optional<std::string> LoadPicture(const std::filesystem::path& path);
  std::optional<std::string> LoadCursorFile(const std::filesystem::path& path);
  void DrawSlotCaption(class QPainter& painter, int slot);

  BendulakSession& session_;
  QPointer<class TInfoListForm1> reportWindow_;
  std::map<std::string, QAction*> actions_;
  std::array<QPointer<class TImageForm1Widget>, LastSlot + 1> imageForms_;
  QPointer<class TBlinkForm1Widget> blinkForm_;
  QPointer<class TGSCForm1Widget> refForm_;
  QPointer<class TChrtCntrlBoxForm> chartForm_;
  QPointer<class TSlctRefForm1> guideForm_;
  QPointer<class TCursorWindowWidget> magnifierForm_;
  std::map<const InfoListModel*, QPointer<class TInfoListForm1>> listForms_;
  QPointer<class THelpWin> helpWin_;
  QImage titlePicture_;
  bool exercisePictureTried_ = false;
  bool titleFreed_ = false;
  int commandsRunning_ = 0;
};

// Registers the forms of this folder with the Qt platform.
void RegisterAppForms();

}  // namespace hv
