#pragma once
// The text-list window's rules without a widget: the lines, the search
// across neighbouring lines, the print layout, the text save and the
// one-level undo. The Qt form TInfoListForm1 shows this model and calls its
// handlers; descendants (report window, pick lists) derive from the model
// and replace the virtual handlers they need.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace hv {

// The search-text dialog shared by the list windows and the help window.
// One instance lives for the whole run (GetSrchStrDlg).
class SearchStrModel : public DialogModel {
 public:
  static constexpr std::size_t MaxText = 80;
  std::string_view dialogName() const override { return "TGetSrchStrDlg"; }

  std::string Caption = "Find Help Topic";
  std::string SearchText;       // at most MaxText characters
  std::uint8_t SearchMode = 2;  // 0 from the top, 1 from the cursor, 2 cancelled
  bool CaseSensitive = false;

  // What the form's edit and check box hold while it is shown.
  std::string EditText;
  bool CaseCheck = false;

  void FormCreate();
  void FormActivate();  // the edit shows SearchText, the box CaseSensitive
  ModalResult SrchTopBtnClick() { return Store(0); }
  ModalResult SrchNextBtnClick() { return Store(1); }
  ModalResult SrchCancelBtnClick();
  // Forgets the last search (every list window's activation does this).
  void Reset();

 private:
  ModalResult Store(std::uint8_t mode);
};

// The one search dialog of the run; tests reset it with ResetSearchDialog.
extern SearchStrModel GetSrchStrDlg;
void ResetSearchDialog();

// What a list print puts above the lines.
struct PrintHeader {
  bool exerciseSession = false;  // a login is required and the user is not "ASTRM"
  std::string names[4];          // the login's student names
  std::string tableNumber;       // the login's table number, else the settings'
  std::string defaultUserName;   // printed outside an exercise session
};

// What a list window needs from the session that owns it.
class ListHost {
 public:
  virtual ~ListHost() = default;
  virtual std::filesystem::path ReportFolder() const = 0;
  virtual PrintHeader ListPrintHeader() const = 0;
  // The report header records (user, camera, site); false when they
  // cannot be edited yet.
  enum class HeaderRecord { User, Camera, Site };
  virtual bool EditReportHeader(HeaderRecord which) = 0;
};

// The sizes FormShow gives the window.
struct ListSize {
  int clientWidth = 0;
  int clientHeight = 0;
  int scrollRange = 0;
};
// textWidth/textHeight measure one line in the window's font.
ListSize SizeForLines(const std::vector<std::string>& lines,
                      const std::function<int(const std::string&)>& textWidth,
                      const std::function<int(const std::string&)>& textHeight, int screenWidth);

// Where a search over the lines from line start stops: the found line's
// index, or -1. A phrase broken over two neighbouring lines is found; the
// lines are searched whole. pattern is already lower-cased when the search
// ignores case.
int FindInLines(const std::vector<std::string>& lines, int start, const std::string& pattern,
                bool caseSensitive);

// The date-and-time text that heads printed pages: "YYYY/MM/DD hh:mm:ss".
std::string PrintDateTime(const ClockReading& c);

class InfoListModel {
 public:
  InfoListModel(Platform& platform, ListHost& host);
  virtual ~InfoListModel() = default;
  InfoListModel(const InfoListModel&) = delete;
  InfoListModel& operator=(const InfoListModel&) = delete;

  Platform& platform() { return platform_; }

  // --- what the creator sets ---
  std::string Caption;
  int SaveFilterIndex = 1;  // of SaveDialog1
  // Replaces the lines (creators refill a kept window); Undo is disabled,
  // since its saved index no longer names the line it was taken from.
  void SetLines(std::vector<std::string> lines);
  // Counts SetLines calls, so a form tells new text (shown from its first
  // line, even when it reads as the old) from lines edited in place.
  std::uint64_t LinesSet() const { return linesSet_; }
  const std::vector<std::string>& Lines() const { return lines_; }
  std::vector<std::string>& MutableLines() { return lines_; }

  // --- fields ---
  std::string UndoText;
  std::int32_t UndoIndex = 0;
  bool Printed = false;
  bool Saved = false;
  std::string SavedFileName;
  std::filesystem::path SavedFolder;
  std::int32_t SelectedRecord = -1;
  std::uint8_t EditKind = 0;  // 1 deleted, 0 edited

  // The list box's selection, kept here so no one reads it from a widget.
  int Selected = -1;

  // --- menu state the form mirrors ---
  bool UndoEnabled = false;
  bool CommaDelimitEnabled = false;
  bool EditMenuVisible = false;
  bool ActionMenuVisible = false;
  bool ChartMenuVisible = false;
  bool Visible = false;  // Close1Click hides, it never frees
  // Where the form last put the window's frame top on the screen (-1 not
  // yet shown); dialogs that place themselves beside it read it.
  int Top = -1;
  // Set when a print or save job wants the form disabled meanwhile.
  bool Enabled = true;

  // For tests and batch use: print into this PDF file instead of asking.
  std::filesystem::path PrintToPdf;

  // --- the handlers, in the order descendants replace them ---
  virtual void Close1Click();
  virtual void FormActivate();
  // Sizes are computed by the form with SizeForLines; the marks are here.
  virtual void FormShow();
  virtual void FormCreate();
  virtual void SaveasText1Click();
  virtual void EditSelectedText1Click() {}
  virtual void DeleteSelectedItem1Click() {}
  virtual void UndoEditClick();
  virtual void CommaDelimitClick() {}
  virtual void EditObservationParameters1Click() { EditObsParameters(); }
  virtual void AccessSelectedRecord1Click();
  virtual void DeleteSelectedRecord1Click();
  virtual void FormDblClick() {}
  virtual void ListBox1Click() {}
  virtual void Plot1Click() {}
  virtual void FormClose() {}
  virtual void PrintList(PrintJob& job);
  virtual void EditObsParameters() {}

  // Plain handlers.
  void Search1Click();
  void Print1Click();
  void UsrPop1Click() { HeaderPop(ListHost::HeaderRecord::User); }
  void CamPop1Click() { HeaderPop(ListHost::HeaderRecord::Camera); }
  void SitePop1Click() { HeaderPop(ListHost::HeaderRecord::Site); }

  // The filter list of SaveDialog1.
  static const char* const SaveFilter;

 protected:
  Platform& platform_;
  ListHost& host_;
  std::vector<std::string> lines_;

 private:
  std::uint64_t linesSet_ = 0;
  void HeaderPop(ListHost::HeaderRecord which);
};

}  // namespace hv
