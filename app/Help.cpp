#include "app/Help.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>

#include "support/Files.h"
#include "support/Format.h"
#include "support/Rounding.h"

namespace hv {
namespace fs = std::filesystem;

HelpList* ActiveHelpList = nullptr;
std::optional<HelpTopicRec> HelpTopicToShow;
std::filesystem::path HelpFolder;

void ResetHelpGlobals() {
  ActiveHelpList = nullptr;
  HelpTopicToShow.reset();
  HelpFolder.clear();
}

namespace {
const std::string CrLf = "\r\n";

std::string TrimLeading(const std::string& s) {
  std::size_t i = s.find_first_not_of(' ');
  return i == std::string::npos ? std::string() : s.substr(i);
}
std::string Trim(const std::string& s) {
  std::string t = TrimLeading(s);
  std::size_t e = t.find_last_not_of(' ');
  return e == std::string::npos ? std::string() : t.substr(0, e + 1);
}
std::string Cut(std::string s, std::size_t n) {
  if (s.size() > n) s.resize(n);
  return s;
}

}  // namespace

std::vector<std::string> SplitTextLines(std::string_view all) {
  std::vector<std::string> lines;
  std::string cur;
  bool pending = false;  // a line was started (text seen)
  for (std::size_t i = 0; i < all.size(); ++i) {
    char c = all[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(cur));
      cur.clear();
      pending = false;
      if (c == '\r' && i + 1 < all.size() && all[i + 1] == '\n') ++i;
    } else {
      cur += c;
      pending = true;
    }
  }
  if (pending) lines.push_back(std::move(cur));
  return lines;
}

namespace {
// The lines of a text file (CR LF, LF or a lone CR end a line), or the I/O
// result code when it cannot be opened or read.
std::optional<std::vector<std::string>> ReadLines(const fs::path& file, int& code) {
  std::error_code ec;
  if (fs::is_directory(file, ec)) {
    code = 2;
    return std::nullopt;
  }
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    code = errno ? IOResultFromErrno(errno) : 2;
    return std::nullopt;
  }
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    code = 100;
    return std::nullopt;
  }
  return SplitTextLines(all);
}

// The platform's button code of a message box result.
int ButtonCode(ModalResult r) {
  switch (r) {
    case ModalResult::OK: return 1;
    case ModalResult::Cancel: return 2;
    case ModalResult::Abort: return 3;
    case ModalResult::Retry: return 4;
    case ModalResult::Ignore: return 5;
    case ModalResult::Yes: return 6;
    case ModalResult::No: return 7;
    default: return 2;
  }
}
}  // namespace

// --- topic list ---

void SelectList::ParseLine(const std::string& line, HelpTopicRec& entry) {
  if (line.find_first_not_of(' ') == std::string::npos) return;
  std::string rest = line, field;
  NextQuoted(rest, ' ', field);
  entry.Title = Cut(field, 65);
  field.clear();
  NextQuoted(rest, ' ', field);
  entry.FileName = Cut(field, 71);
}

void SelectList::LoadFromFile(Platform& p, const fs::path& file) {
  Items.clear();
  Loaded = false;
  IOError = 2;
  CurIndexCopy = 0;
  int code = 2;
  auto lines = ReadLines(file, code);
  if (!lines) {
    IOError = static_cast<std::uint16_t>(code);
    ShowInfo(p, "Help File Error",
             "Help List File " + file.string() + " is Invalid." + CrLf +
                 "Program will continue with defaults or alternative file." + CrLf + CrLf +
                 IOErrorText(code));
    return;
  }
  LoadFromLines(*lines);
}

void SelectList::LoadFromLines(const std::vector<std::string>& lines) {
  Items.clear();
  CurIndexCopy = 0;
  std::string indent;
  bool separated = true;
  HelpTopicRec entry;
  for (const std::string& whole : lines) {
    const std::string line = Cut(whole, 80);
    // An empty line adds nothing (it would repeat the previous entry).
    if (line.find_first_not_of(' ') == std::string::npos) continue;
    ParseLine(line, entry);
    const std::string kind = LowerAscii(entry.FileName);
    if (kind == "end") {
      if (!indent.empty()) indent.erase(0, std::min<std::size_t>(2, indent.size()));
      if (!separated) Items.push_back(BlankTopicEntry);
      separated = true;
      continue;
    }
    HelpTopicRec listed = entry;
    if (kind == "begin") {
      if (!separated) Items.push_back(BlankTopicEntry);
      listed.Title = Cut(indent + "-" + entry.Title + "-", 65);
    } else {
      listed.Title = Cut(indent + entry.Title, 65);
    }
    Items.push_back(listed);
    separated = false;
    if (kind == "begin") indent = Cut("  " + indent, 65);
  }
  Loaded = true;
}

const HelpTopicRec* SelectList::Entry(int index) {
  if (!Loaded || index < 0 || index >= static_cast<int>(Items.size())) return nullptr;
  CurIndexCopy = static_cast<std::uint16_t>(index);
  return &Items[static_cast<std::size_t>(index)];
}

std::unique_ptr<HelpList> LoadHelpList(Platform& p, const fs::path& file) {
  auto list = std::make_unique<HelpList>();
  list->LoadFromFile(p, file);
  list->Selected = 0;
  if (list->Loaded) return list;
  MessageRequest r;
  r.caption = "File Error";
  r.text = "Cannot Access Help List." + CrLf + "File Name: " + file.string() + CrLf + CrLf +
           IOErrorText(list->IOError);
  r.icon = MsgIcon::Warning;
  r.sound = Sound::Exclamation;
  p.message(r);
  return nullptr;
}

int FindTopicIndex(const HelpList* list, const std::string& text, int start, bool caseSensitive) {
  if (!list) return -1;
  auto prep = [&](const std::string& s) { return Trim(caseSensitive ? s : LowerAscii(s)); };
  const std::string wanted = prep(text);
  if (wanted.empty()) return -1;
  for (int i = std::max(start, 0); i < static_cast<int>(list->Items.size()); ++i)
    if (prep(list->Items[static_cast<std::size_t>(i)].Title) == wanted) return i;
  return -1;
}

HelpSize SizeForHelpLines(const std::vector<std::string>& lines,
                          const std::function<int(const std::string&)>& textWidth,
                          const std::function<int(const std::string&)>& textHeight,
                          std::size_t fullFrom, int extraWidth, int screenWidth) {
  HelpSize s;
  int w = 200, h = 5;
  for (const std::string& l : lines) {
    w = std::max(w, textWidth(l));
    h = std::max(h, textHeight(l));
  }
  s.lineWidth = w;
  const long double rows =
      lines.size() >= fullFrom ? 22.3L : static_cast<long double>(lines.size()) + 1.3L;
  s.clientHeight = RoundToInt32(rows * h);
  s.clientWidth = std::min(w + extraWidth, screenWidth - 10);
  return s;
}

// --- topic dialog ---

void HelpLstDlgModel::FormActivate() {
  Lines.clear();
  Selected = -1;
  TopIndex = 0;
  if (!ActiveHelpList) {
    ShowError(platform_, "Error", "No Help List to Display!");
    return;
  }
  for (const HelpTopicRec& t : ActiveHelpList->Items) Lines.push_back(t.Title);
  // More than 21 lines: the full height.
  Size = SizeForHelpLines(Lines, Measure.Width, Measure.Height, 22, 30, ScreenWidth);
  if (!Lines.empty()) {
    Selected = std::min<int>(ActiveHelpList->Selected, static_cast<int>(Lines.size()) - 1);
    TopIndex = Selected;
  }
  GetSrchStrDlg.SearchText.clear();
  GetSrchStrDlg.CaseSensitive = false;
}

ModalResult HelpLstDlgModel::Read1Click() {
  if (!ActiveHelpList || Selected < 0 ||
      Selected >= static_cast<int>(ActiveHelpList->Items.size()))
    return ModalResult::None;
  const HelpTopicRec& e = ActiveHelpList->Items[static_cast<std::size_t>(Selected)];
  if (e.Title.empty()) {
    platform_.beep(Sound::Exclamation);
    return ModalResult::None;
  }
  if (LowerAscii(e.FileName) == "begin") {
    ShowInfo(platform_, "Topic Heading",
             "Select a Topic Under \"" + TrimLeading(e.Title) + "\"");
    return ModalResult::None;
  }
  ActiveHelpList->Selected = static_cast<std::uint16_t>(Selected);
  return ModalResult::OK;
}

ModalResult HelpLstDlgModel::Close1Click() {
  if (ActiveHelpList && Selected >= 0)
    ActiveHelpList->Selected = static_cast<std::uint16_t>(Selected);
  return ModalResult::Cancel;
}

int HelpLstDlgModel::FindTopicIndex(const std::string& text, int start) const {
  return hv::FindTopicIndex(ActiveHelpList, text, start, GetSrchStrDlg.CaseSensitive);
}

void HelpLstDlgModel::Search1Click() {
  if (!ActiveHelpList) return;
  SearchStrModel& d = GetSrchStrDlg;
  d.Caption = "Find Help Topic";
  platform_.showDialog(d);
  int start;
  if (d.SearchMode == 0)
    start = 0;
  else if (d.SearchMode == 1)
    start = Selected + 1;
  else
    return;
  int i = FindTopicIndex(d.SearchText, start);
  if (i < 0) {
    ShowInfo(platform_, "String Not Found", "\"" + d.SearchText + "\" Not Found.");
    return;
  }
  Selected = i;
  TopIndex = i;
}

// --- help window ---

std::int32_t TopicLines(const std::vector<std::string>& file, std::size_t from,
                        std::vector<std::string>& lines) {
  std::int32_t related = -1;
  lines.push_back(" ");
  for (std::size_t i = from; i < file.size(); ++i) {
    const std::string& l = file[i];
    if (!l.empty() && l.front() == '*' && l.back() == '*') break;
    if (l.size() <= 72) {
      lines.push_back("  " + l + "  ");
      if (UpperAscii(l).find("RELATED TOPICS") != std::string::npos)
        related = static_cast<std::int32_t>(lines.size()) - 1;
    } else {
      WrapRec wrap;
      WrapInit(wrap, l, 72);
      do {
        lines.push_back("  " + std::string(WrapNext(wrap)) + "  ");
      } while (!wrap.Done);
      WrapDone(wrap);
    }
  }
  lines.push_back(" ");
  return related;
}

HelpWinModel::HelpWinModel(Platform& platform, ListHost& host, HelpLstDlgModel& topics)
    : platform_(platform), host_(host), topics_(topics) {}

void HelpWinModel::FormCreate(int pixelsPerInch) {
  ClientWidth = RoundToInt32(5.0L * pixelsPerInch);
  History.clear();
  ClearHistoryOnClose = true;
  AddToHistory = true;
  BackEnabled = false;
}

void HelpWinModel::Show() {
  FormShow();
  Visible = true;
  FormActivate();
  if (OnShow) OnShow();
}

void HelpWinModel::FormShow() {
  if (AddToHistory && HelpTopicToShow &&
      (History.empty() || History.back().Title != HelpTopicToShow->Title))
    History.push_back(*HelpTopicToShow);
  BackEnabled = History.size() >= 2;
}

bool HelpWinModel::FindTopic(const std::vector<std::string>& file, const std::string& title,
                             std::size_t& from) const {
  from = 0;
  if (file.empty() || file.front().empty() || file.front()[0] != '*') return true;
  for (std::size_t i = 0; i < file.size(); ++i) {
    std::string l = LowerAscii(file[i]);
    if (l.find('*') != std::string::npos && l.find(title) != std::string::npos) {
      from = i + 1;
      return true;
    }
  }
  return false;
}

void HelpWinModel::FormActivate() {
  if (!HelpTopicToShow || HelpFolder.empty()) {
    ShowError(platform_, "Error", "THelpWin Parameters Not Set!");
    FileOpen = false;
    return;
  }
  TopicTitle = TrimLeading(HelpTopicToShow->Title);
  // Shipped files are found without regard to case.
  FileName = FindCaseInsensitive(HelpFolder, HelpTopicToShow->FileName);
  Caption = "Help - " + TopicTitle;
  Lines.clear();
  Selected = -1;
  ++TopicsLoaded;
  int code = 2;
  auto file = HelpTopicToShow->FileName.empty() ? std::nullopt : ReadLines(FileName, code);
  FileOpen = file.has_value();
  auto notAvailable = [&](const char* caption) {
    ShowInfo(platform_, caption,
             "Help Topic: " + TopicTitle + CrLf + CrLf +
                 "Help on this topic is not available at this time.");
    if (OnChanged) OnChanged();
  };
  if (!file) {
    ShowWarning(platform_, "Help Not Available",
                "Cannot Access Help File " + FileName.string() + CrLf + CrLf + IOErrorText(code));
    if (OnChanged) OnChanged();
    return;
  }
  std::size_t from = 0;
  if (!FindTopic(*file, LowerAscii(TopicTitle), from)) {
    notAvailable("Topic Not Found");
    return;
  }
  RelatedIndex = TopicLines(*file, from, Lines);
  // 22 lines or more: the full height.
  HelpSize size = SizeForHelpLines(Lines, Measure.Width, Measure.Height, 22, 20, ScreenWidth);
  if (size.lineWidth == 200) {
    notAvailable("No Text for Topic");
    return;
  }
  ClientWidth = size.clientWidth;
  ClientHeight = size.clientHeight;
  TopicsEnabled = ActiveHelpList != nullptr;
  if (OnChanged) OnChanged();
}

void HelpWinModel::FormClose() {
  if (ClearHistoryOnClose) {
    History.clear();
    // A new history starts with the next topic, even after a Back.
    AddToHistory = true;
  }
  Visible = false;
  if (OnHide) OnHide();
}

void HelpWinModel::Close1Click() { FormClose(); }

void HelpWinModel::Reshow(bool addToHistory) {
  ClearHistoryOnClose = false;
  FormClose();
  ClearHistoryOnClose = true;
  AddToHistory = addToHistory;
  Show();
}

void HelpWinModel::ListBox1DblClick() {
  if (Selected < 0 || Selected >= static_cast<int>(Lines.size()) || Selected <= RelatedIndex)
    return;
  int k = hv::FindTopicIndex(ActiveHelpList, Lines[static_cast<std::size_t>(Selected)], 0,
                             GetSrchStrDlg.CaseSensitive);
  if (k < 0) return;
  HelpTopicToShow = *ActiveHelpList->Entry(k);
  ActiveHelpList->Selected = static_cast<std::uint16_t>(k);
  if (ProgramFolder) HelpFolder = ProgramFolder();
  Reshow(true);
}

void HelpWinModel::Back1Click() {
  if (History.size() < 2) return;
  History.pop_back();
  const HelpTopicRec& back = History.back();
  int k = hv::FindTopicIndex(ActiveHelpList, back.Title, 0, GetSrchStrDlg.CaseSensitive);
  if (k >= 0) {
    HelpTopicToShow = *ActiveHelpList->Entry(k);
    ActiveHelpList->Selected = static_cast<std::uint16_t>(k);
  } else {
    // A topic from outside the list ("On Help", "User Help") is shown
    // from its history entry, which names its file.
    HelpTopicToShow = back;
  }
  if (ProgramFolder) HelpFolder = ProgramFolder();
  Reshow(false);
  BackEnabled = History.size() >= 2;
}

void HelpWinModel::Topics1Click() {
  if (!ActiveHelpList) return;
  if (platform_.showDialog(topics_) != ModalResult::OK) return;
  const HelpTopicRec* e = ActiveHelpList->Entry(ActiveHelpList->Selected);
  if (!e) return;
  HelpTopicToShow = *e;
  AddToHistory = true;
  Show();
}

void HelpWinModel::Find1Click() {
  SearchStrModel& d = GetSrchStrDlg;
  d.Caption = "Find Help Item";
  platform_.showDialog(d);
  int start;
  if (d.SearchMode == 0)
    start = 0;
  else if (d.SearchMode == 1)
    start = Selected + 1;
  else
    return;
  std::string pattern = Cut(d.SearchText, 81);
  if (!d.CaseSensitive) pattern = LowerAscii(pattern);
  int found = -1;
  // Each line without the blanks that frame it, joined to the next by one
  // blank, so a phrase broken between two lines is found.
  auto prep = [&](int k) {
    std::string t = Trim(Lines[static_cast<std::size_t>(k)]);
    return d.CaseSensitive ? t : LowerAscii(t);
  };
  const int last = static_cast<int>(Lines.size()) - 1;
  for (int i = std::max(start, 0); !pattern.empty() && i < last; ++i) {
    std::string text = prep(i);
    const std::size_t own = text.size();
    text += " " + prep(i + 1);
    std::size_t at = text.find(pattern);
    if (at != std::string::npos) {
      found = at >= own ? i + 1 : i;
      break;
    }
  }
  if (found >= 0) {
    Selected = found;
    if (OnChanged) OnChanged();
    return;
  }
  ShowInfo(platform_, "String Not Found", "\"" + d.SearchText + "\" Not Found.");
}

void HelpWinModel::Print1Click() {
  PrintHeader head = host_.ListPrintHeader();
  PrintRequest r;
  r.jobTitle = Cut("VESK Halvardin Exercise - " + head.names[0], 100);
  r.pdfFile = PrintToPdf;
  std::unique_ptr<PrintJob> job = platform_.beginPrint(r);
  if (!job) return;
  bool finished = false;
  {
    BusyCursor busy(platform_);
    Enabled = false;
    try {
      PrintTopic(*job);
      finished = job->finish();
    } catch (...) {
      Enabled = true;
      throw;
    }
    Enabled = true;
  }
  if (!finished) ShowError(platform_, "Print Error", "The help topic could not be printed.");
}

void HelpWinModel::PrintTopic(PrintJob& job) {
  PrintHeader head = host_.ListPrintHeader();
  const std::string title = Cut("VESK Halvardin Exercise - " + head.names[0], 100);
  const int h = job.textHeight("Text");
  const int x0 = job.pageWidth() > job.pageHeight() ? 50 : 0;
  job.drawText(x0, 0,
               PrintDateTime(platform_.now()) + "     Laboratory Table Number " +
                   (head.tableNumber.empty() ? std::string("(Not Recorded)") : head.tableNumber));
  int y = 2 * h;
  job.drawText(x0, y, head.names[0]);
  for (int i = 1; i < 4; ++i)
    if (!head.names[i].empty()) {
      y += h;
      job.drawText(x0, y, head.names[i]);
    }
  y += 2 * h;
  job.drawText(x0 + 50, y, title);
  y += 2 * h;
  job.drawText(x0 + 50, y, Caption);
  y += 2 * h;
  for (const std::string& l : Lines) {
    // A long topic goes on to further pages instead of off the first.
    if (y + h > job.pageHeight()) {
      job.newPage();
      y = 0;
    }
    job.drawText(x0 + 50, y, l);
    y += h;
  }
}

// --- reminder ---

int ShowReminder(Platform& p, const fs::path& file, const std::string& caption, unsigned buttons,
                 MsgIcon icon) {
  int code = 2;
  auto lines = ReadLines(file, code);
  if (!lines) {
    ShowError(p, "File Error!",
              "Cannot Access Reminder File!" + CrLf + "File Name: " + file.string() + CrLf + CrLf +
                  IOErrorText(code));
    return 3;
  }
  constexpr std::size_t Max = 1023;
  std::string text;
  auto add = [&](const std::string& s) { text += s.substr(0, Max - std::min(Max, text.size())); };
  for (const std::string& l : *lines) add(Cut(l, 255) + CrLf);
  add(CrLf + "Select \"OK\" to Quit Exercise, \"Cancel\" to Continue.");
  MessageRequest r;
  r.caption = caption;
  r.text = text;
  r.icon = icon;
  r.buttons = buttons;
  r.sound = icon == MsgIcon::Error         ? Sound::Hand
            : icon == MsgIcon::Warning     ? Sound::Exclamation
            : icon == MsgIcon::Question    ? Sound::Question
                                           : Sound::Default;
  return ButtonCode(p.message(r));
}

}  // namespace hv
