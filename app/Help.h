#pragma once
// The help system without widgets: the topic list file, the topic dialog's
// rules, the help window that shows one topic of a plain-text help file
// (links, history, search, print) and the exit reminder. The Qt forms
// THelpLstDlg and THelpWin show these models.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/InfoList.h"
#include "platform/Platform.h"

namespace hv {

// A topic of a help topic list.
struct HelpTopicRec {
  std::string Title;     // string[65], as listed, indented
  std::string FileName;  // string[71], relative to HelpFolder; "begin" for a heading
  bool operator==(const HelpTopicRec&) const = default;
};

// The separator line of a topic list.
inline const HelpTopicRec BlankTopicEntry{};

// The entries of a topic list file, in list order.
class SelectList {
 public:
  std::vector<HelpTopicRec> Items;
  std::uint16_t CurIndexCopy = 0;
  bool Loaded = false;
  std::uint16_t IOError = 2;

  // An empty line leaves the entry as it was.
  static void ParseLine(const std::string& line, HelpTopicRec& entry);
  // Reads the list file; an error is shown as "Help File Error" and leaves
  // Loaded false.
  void LoadFromFile(Platform& p, const std::filesystem::path& file);
  // The entries of the file's lines (LoadFromFile's second half).
  void LoadFromLines(const std::vector<std::string>& lines);
  // Null when the list is not loaded or the index is outside it.
  const HelpTopicRec* Entry(int index);
};

class HelpList : public SelectList {
 public:
  std::uint16_t Selected = 0;  // the topic last chosen in the topic dialog
};

// Reads a topic list file; on failure shows both messages and gives none.
std::unique_ptr<HelpList> LoadHelpList(Platform& p, const std::filesystem::path& file);

// A text file's lines: CR LF, LF or a lone CR ends a line.
std::vector<std::string> SplitTextLines(std::string_view text);

// Appends a topic's text from line `from` of its help file to lines, as the
// help window lists it (a blank line before and after, each line framed by
// two blanks, long lines wrapped at 72); the index of the line holding
// "RELATED TOPICS", or -1.
std::int32_t TopicLines(const std::vector<std::string>& file, std::size_t from,
                        std::vector<std::string>& lines);

// The list the topic dialog and the help window work on (not owned: the
// main window's HelpTopics, or null).
extern HelpList* ActiveHelpList;
// The topic the help window shows next (a copy, so a replaced topic list
// leaves nothing dangling) and the folder of the help files.
extern std::optional<HelpTopicRec> HelpTopicToShow;
extern std::filesystem::path HelpFolder;
// Forgets the three (tests, and the session when it goes).
void ResetHelpGlobals();

// The index of the first entry from start whose listed title, without
// leading and trailing blanks, equals the text (ignoring case unless
// caseSensitive); -1 for none or for an empty text.
int FindTopicIndex(const HelpList* list, const std::string& text, int start, bool caseSensitive);

// Client size of a help list box: the largest line width (at least 200)
// plus extra, and 22.3 line heights once there are more than maxRowsBelow
// lines, else lines + 1.3.
struct HelpSize {
  int clientWidth = 0;
  int clientHeight = 0;
  int lineWidth = 200;  // the largest width found, at least 200
};
HelpSize SizeForHelpLines(const std::vector<std::string>& lines,
                          const std::function<int(const std::string&)>& textWidth,
                          const std::function<int(const std::string&)>& textHeight,
                          std::size_t fullFrom, int extraWidth, int screenWidth);

// Measures text in a window's font; the default is 10 by 16 pixels a
// character, as tests want it.
struct TextMeasure {
  std::function<int(const std::string&)> Width = [](const std::string& s) {
    return 10 * static_cast<int>(s.size());
  };
  std::function<int(const std::string&)> Height = [](const std::string&) { return 16; };
};

// "Select Help Topic".
class HelpLstDlgModel : public DialogModel {
 public:
  explicit HelpLstDlgModel(Platform& platform) : platform_(platform) {}
  std::string_view dialogName() const override { return "THelpLstDlg"; }

  // What the list box shows.
  std::vector<std::string> Lines;
  int Selected = -1;
  int TopIndex = 0;
  HelpSize Size;
  TextMeasure Measure;
  int ScreenWidth = 1024;

  void FormActivate();
  // OK when a topic was chosen (the dialog closes), None when it stays.
  ModalResult Read1Click();
  ModalResult HlpLstBoxDblClick() { return Read1Click(); }
  ModalResult Close1Click();
  void Search1Click();
  int FindTopicIndex(const std::string& text, int start) const;

 private:
  Platform& platform_;
};

// The help window.
class HelpWinModel {
 public:
  HelpWinModel(Platform& platform, ListHost& host, HelpLstDlgModel& topics);
  HelpWinModel(const HelpWinModel&) = delete;
  HelpWinModel& operator=(const HelpWinModel&) = delete;

  Platform& platform() { return platform_; }

  // Where links and Back find the help files (the program folder).
  std::function<std::filesystem::path()> ProgramFolder;
  // The form's hooks: show and raise the window, hide it, load it again.
  std::function<void()> OnShow;
  std::function<void()> OnHide;
  std::function<void()> OnChanged;

  // --- state ---
  std::string Caption;
  std::vector<std::string> Lines;  // ListBox1
  int Selected = -1;
  // Counts the topics loaded: a new one is shown from its first line.
  int TopicsLoaded = 0;
  std::filesystem::path FileName;
  std::string TopicTitle;
  std::int32_t RelatedIndex = -1;
  bool FileOpen = false;
  bool AddToHistory = true;
  bool ClearHistoryOnClose = true;
  std::vector<HelpTopicRec> History;
  bool BackEnabled = false;
  bool TopicsEnabled = false;
  bool Visible = false;
  bool Enabled = true;
  int ClientWidth = 0;   // 0 until a topic sized the window
  int ClientHeight = 0;
  TextMeasure Measure;
  int ScreenWidth = 1024;
  // For tests and batch use: print into this PDF file instead of asking.
  std::filesystem::path PrintToPdf;

  void FormCreate(int pixelsPerInch);
  // Shows the window with HelpTopicToShow and HelpFolder: the show and the
  // activation handlers, then the form's OnShow.
  void Show();
  void FormShow();
  void FormActivate();
  void FormClose();
  void Close1Click();
  void Back1Click();
  void ListBox1DblClick();
  void Topics1Click();
  void Find1Click();
  void Print1Click();
  void PrintTopic(PrintJob& job);

 private:
  // Loads the topic's lines from the open file's lines; false when the
  // topic is not in it.
  bool FindTopic(const std::vector<std::string>& file, const std::string& title,
                 std::size_t& from) const;
  // Closes without emptying the history and shows again.
  void Reshow(bool addToHistory);
  Platform& platform_;
  ListHost& host_;
  HelpLstDlgModel& topics_;
};

// Shows the reminder file with the quit prompt in a message box with the
// caption and buttons given; the button pressed as the platform's button
// code (1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No), or 3 when
// the file cannot be read.
int ShowReminder(Platform& p, const std::filesystem::path& file, const std::string& caption,
                 unsigned buttons = Buttons::OKCancel, MsgIcon icon = MsgIcon::Error);

}  // namespace hv
