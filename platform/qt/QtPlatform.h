#pragma once
// The platform as the desktop gives it: Qt dialogs, Qt printing, and the
// operating system's facts.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace hv {

inline QString ToQ(std::string_view latin1) {
  return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}
inline std::string FromQ(const QString& s) { return s.toLatin1().toStdString(); }

// Translates "Desc|*.A;*.B|All|*.*" into Qt's "Desc (*.A *.B);;All (*)" list.
QStringList QtFilters(const std::string& windowsFilter);

// Chosen files in the reverse of the order in which the file dialog lists
// them (by name, with the dialog's own comparison: case ignored, digits by
// their value where the locale allows), whatever order they were picked in.
std::vector<std::filesystem::path> LastListedFirst(const QStringList& files);

class QtPlatform : public Platform {
 public:
  // A form for a dialog model: shows it modally over parent, returns the result.
  using FormFactory = std::function<ModalResult(DialogModel&, QWidget* parent)>;

  QtPlatform();
  ~QtPlatform() override;
  void setParentWindow(QWidget* w) { parent_ = w; }
  QWidget* parentWindow() const { return parent_; }
  static void registerForm(const std::string& dialogName, FormFactory factory);

  ModalResult message(const MessageRequest& request) override;
  std::optional<FileChoice> openFiles(const FileChooser& request) override;
  std::optional<FileChoice> saveFile(const FileChooser& request) override;
  std::optional<std::filesystem::path> chooseFolder(const FolderChooser& request) override;
  std::optional<std::string> inputLine(const InputRequest& request) override;
  ModalResult showDialog(DialogModel& model) override;
  void placeWindow(PlacedWindow& window, int left, int top) override;
  void beep(Sound sound) override;
  void setBusy(bool busy) override;
  ClockReading now() override;
  std::int64_t monotonicMs() override;
  std::string userName() override;
  OsFacts osFacts() override;
  std::vector<std::filesystem::path> opticalDriveRoots() override;
  std::filesystem::path programFile() override;
  std::optional<std::string> findExecutableFor(const std::filesystem::path& file) override;
  ProcessStart startProcess(const std::string& program, const std::filesystem::path& file,
                            const std::filesystem::path& workingFolder) override;
  ProcessState processState(ProcessHandle handle) override;
  std::unique_ptr<PrintJob> beginPrint(const PrintRequest& request) override;

 private:
  static std::map<std::string, FormFactory>& registry();
  // The window a dialog or message box belongs to: the active one (a
  // stay-on-top list or tool window would otherwise hide it), else the
  // last one active that is still shown (between a closed dialog and its
  // window's return), else the main window.
  QWidget* owner() const;
  QPointer<QWidget> parent_;
  std::vector<QPointer<QWidget>> recent_;  // last active windows, newest last
  std::unique_ptr<QObject> tracker_;       // ends the focus connection with us
};

}  // namespace hv
