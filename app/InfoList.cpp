#include "app/InfoList.h"

#include <algorithm>
#include <charconv>

#include "support/Files.h"
#include "support/Format.h"
#include "support/Rounding.h"

namespace hv {
namespace fs = std::filesystem;

SearchStrModel GetSrchStrDlg;

void ResetSearchDialog() {
  GetSrchStrDlg = SearchStrModel{};
  GetSrchStrDlg.FormCreate();
}

void SearchStrModel::FormCreate() {
  SearchText.clear();
  SearchMode = 2;
  CaseSensitive = false;
}

void SearchStrModel::FormActivate() {
  EditText = SearchText;
  CaseCheck = CaseSensitive;
}

ModalResult SearchStrModel::Store(std::uint8_t mode) {
  SearchText = EditText.substr(0, MaxText);
  CaseSensitive = CaseCheck;
  if (SearchText.empty()) {
    SearchMode = 2;
    return ModalResult::Cancel;
  }
  SearchMode = mode;
  return ModalResult::OK;
}

ModalResult SearchStrModel::SrchCancelBtnClick() {
  SearchMode = 2;
  return ModalResult::Cancel;
}

void SearchStrModel::Reset() {
  SearchText.clear();
  SearchMode = 2;
  CaseSensitive = false;
}

namespace {
std::string TrimLeadingBlanks(const std::string& s) {
  std::size_t i = s.find_first_not_of(' ');
  return i == std::string::npos ? std::string() : s.substr(i);
}
std::string Two(int v) { return ZeroPadded(v, 2); }
}  // namespace

ListSize SizeForLines(const std::vector<std::string>& lines,
                      const std::function<int(const std::string&)>& textWidth,
                      const std::function<int(const std::string&)>& textHeight, int screenWidth) {
  int w = 200, h = 5;
  for (const std::string& l : lines) {
    w = std::max(w, textWidth(l));
    h = std::max(h, textHeight(l));
  }
  const std::size_t n = lines.size();
  ListSize s;
  long double rows = n < 22 ? static_cast<long double>(n) + 1.3L : 22.3L;
  s.clientHeight = RoundToInt32(rows * h);
  s.clientWidth = w + 30;
  s.scrollRange = w + 20;
  if (s.clientWidth > screenWidth - 10) s.clientWidth = screenWidth - 10;
  return s;
}

int FindInLines(const std::vector<std::string>& lines, int start, const std::string& pattern,
                bool caseSensitive) {
  const int n = static_cast<int>(lines.size());
  if (start < 0) start = 0;
  auto prep = [&](int k) {
    std::string s = TrimLeadingBlanks(lines[static_cast<std::size_t>(k)]);
    return caseSensitive ? s : LowerAscii(std::move(s));
  };
  for (int i = start; i < n;) {
    std::string text = prep(i);
    const std::size_t own = text.size();
    if (i + 1 < n) text += " " + prep(i + 1);
    std::size_t p = text.find(pattern);
    if (p != std::string::npos) return p >= own ? i + 1 : i;
    ++i;
    // The last line is looked at alone only when the search starts on it.
    if (i >= n - 1) break;
  }
  return -1;
}

std::string PrintDateTime(const ClockReading& c) {
  char b[8];
  auto r = std::to_chars(b, b + sizeof b, c.year);
  std::string y(b, r.ptr);
  return y + "/" + Two(c.month) + "/" + Two(c.day) + " " + Two(c.hour) + ":" + Two(c.minute) + ":" +
         Two(c.second);
}

const char* const InfoListModel::SaveFilter =
    "Text Files (*.TXT) | *.TXT|Image Header Text (*.HDR)|*.HDR|Image Display Info (*.IMG)|*.IMG|"
    "Astrometric Solution Text (*.SLN)|*.SLN|Reference Field Info (*.RFL)|*.RFL|"
    "All Files (*.*)|*.*";

InfoListModel::InfoListModel(Platform& platform, ListHost& host)
    : platform_(platform), host_(host) {
  InfoListModel::FormCreate();
}

void InfoListModel::SetLines(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  ++linesSet_;
  UndoEnabled = false;
  Selected = -1;
}

void InfoListModel::Close1Click() { Visible = false; }

void InfoListModel::FormActivate() {
  GetSrchStrDlg.Reset();
  UndoEnabled = false;
  CommaDelimitEnabled = false;
}

void InfoListModel::FormShow() { Visible = true; }

void InfoListModel::FormCreate() {
  Printed = false;
  Saved = false;
  SavedFileName.clear();
  SavedFolder.clear();
  UndoEnabled = false;
  SelectedRecord = -1;
}

void InfoListModel::Search1Click() {
  SearchStrModel& d = GetSrchStrDlg;
  d.Caption = "Find Text String";
  platform_.showDialog(d);
  int start = 0;
  switch (d.SearchMode) {
    case 0:
      start = 0;
      break;
    case 1:
      start = Selected < 0 ? 0 : Selected + 1;
      break;
    default:
      return;
  }
  if (!d.CaseSensitive) d.SearchText = LowerAscii(d.SearchText);
  int found = FindInLines(lines_, start, d.SearchText, d.CaseSensitive);
  if (found >= 0) {
    Selected = found;
    return;
  }
  ShowInfo(platform_, "String Not Found", "\"" + d.SearchText + "\" Not Found.");
}

void InfoListModel::Print1Click() {
  PrintRequest r;
  PrintHeader head = host_.ListPrintHeader();
  r.jobTitle = head.exerciseSession ? "VESK Halvardin Exercise - " + head.names[0].substr(0, 80)
                                    : std::string("VESK CCD Astrometry Module");
  r.pdfFile = PrintToPdf;
  std::unique_ptr<PrintJob> job = platform_.beginPrint(r);
  if (!job) return;
  BusyCursor busy(platform_);
  Enabled = false;
  bool finished = false;
  try {
    PrintList(*job);
    finished = job->finish();
  } catch (...) {
    Enabled = true;
    throw;
  }
  Enabled = true;
  if (!finished) {
    ShowError(platform_, "Print Error", "The list could not be printed.");
    return;
  }
  Printed = true;
}

void InfoListModel::PrintList(PrintJob& job) {
  UndoEnabled = false;
  PrintHeader head = host_.ListPrintHeader();
  const int h = job.textHeight("Text");
  const int x = job.pageWidth() > job.pageHeight() ? 50 : 0;
  std::string top = PrintDateTime(platform_.now());
  if (head.exerciseSession)
    top += "     Laboratory Table Number " +
           (head.tableNumber.empty() ? std::string("(Not Recorded)") : head.tableNumber);
  job.drawText(x, 0, top);
  int y = 2 * h;
  if (head.exerciseSession) {
    job.drawText(x, y, head.names[0]);
    for (int k = 1; k < 4; ++k) {
      if (head.names[k].empty()) continue;
      y += h;
      job.drawText(x, y, head.names[k]);
    }
  } else {
    job.drawText(x, y, head.defaultUserName);
  }
  y += 2 * h;
  job.drawText(x + 50, y, Caption);
  y += 2 * h;
  for (const std::string& line : lines_) {
    if (y + h > job.pageHeight()) {
      job.newPage();
      y = h;
    }
    job.drawText(x + 50, y, line);
    y += h;
  }
}

void InfoListModel::SaveasText1Click() {
  UndoEnabled = false;
  if (SavedFolder.empty()) SavedFolder = host_.ReportFolder();
  FileChooser c;
  c.caption = "Save Report in Text File";
  c.folder = SavedFolder;
  c.fileName = SavedFileName;
  c.filter = SaveFilter;
  c.filterIndex = SaveFilterIndex;
  c.defaultExt = "TXT";
  fs::path target;
  for (;;) {
    std::optional<FileChoice> choice = platform_.saveFile(c);
    if (!choice || choice->files.empty()) return;
    SaveFilterIndex = choice->filterIndex;
    // Only the name is upper-cased; the folder stays as chosen.
    fs::path chosen = choice->files.front();
    target = chosen.parent_path() / UpperAscii(chosen.filename().string());
    if (!fs::exists(target)) break;
    MessageRequest q;
    q.caption = "Replace Existing File?";
    q.text = target.filename().string() + " Already Exists!\r\n\r\nDo You Want to Overwrite It?";
    q.icon = MsgIcon::Question;
    q.buttons = Buttons::YesNo;
    q.sound = Sound::Question;
    if (platform_.message(q) == ModalResult::Yes) break;
    c.folder = target.parent_path();
    c.fileName = target.filename().string();
  }
  SavedFileName = target.filename().string();
  SavedFolder = target.parent_path();
  std::string text;
  for (const std::string& line : lines_) text += line + "\r\n";
  WriteFileAtomic(target, std::string_view(text));
  ShowInfo(platform_, "Text File Written", "Report Text Written to " + SavedFileName + ".");
  Saved = true;
}

void InfoListModel::UndoEditClick() {
  if (!UndoEnabled) return;
  const auto n = static_cast<std::int32_t>(lines_.size());
  if (EditKind == 1) {
    if (UndoIndex >= 0 && UndoIndex <= n) lines_.insert(lines_.begin() + UndoIndex, UndoText);
  } else if (UndoIndex >= 0 && UndoIndex < n) {
    lines_[static_cast<std::size_t>(UndoIndex)] = UndoText;
  }
  UndoEnabled = false;
}

void InfoListModel::AccessSelectedRecord1Click() {
  SelectedRecord = Selected;
  EditKind = 0;
}

void InfoListModel::DeleteSelectedRecord1Click() {
  SelectedRecord = Selected;
  EditKind = 1;
}

void InfoListModel::HeaderPop(ListHost::HeaderRecord which) {
  if (host_.EditReportHeader(which)) UndoEnabled = false;
}

}  // namespace hv
