#include "astrometry/AstromList.h"

namespace hv {

std::string Edit80DlgModel::RulerDigits() {
  std::string s;
  while (s.size() < MaxLength) s += "123456789 ";
  return s.substr(0, MaxLength);
}

std::string Edit80DlgModel::RulerTens() {
  std::string s;
  for (int tens = 10; tens <= static_cast<int>(MaxLength); tens += 10) {
    const std::string n = std::to_string(tens);
    s += std::string(10 - n.size(), ' ') + n;
  }
  return s;
}

HeaderLineAction HeaderLineActionFor(const std::string& line, bool mpcHeader) {
  // Every line above the table's measurements (the blank and the two
  // column-title lines) belongs to the user record.
  if (!mpcHeader) return HeaderLineAction::User;
  const std::string key = line.substr(0, 3);
  if (key == "COD" || key == "TEL") return HeaderLineAction::Site;
  if (key == "CON" || key == "OBS" || key == "MEA") return HeaderLineAction::User;
  if (key == "ACK") return HeaderLineAction::RebuildMPC;
  return HeaderLineAction::None;  // NET, the blank line before the measurements
}

// ---- the report window ----

AstromListModel::AstromListModel(Platform& platform, ReportHost& host, AstromObsObj& report)
    : InfoListModel(platform, host), reportHost_(host), report_(report) {
  AstromListModel::FormCreate();
}

void AstromListModel::FormCreate() {
  InfoListModel::FormCreate();
  CSVFileName.clear();
  FirstDataLine = -1;
  undoAction_ = UndoAction::None;
  // Also before the first activation: a report first shown from a modal
  // dialog (the observation picker) is not activated from another window.
  ShowReportMenus();
}

void AstromListModel::ShowReportMenus() {
  EditMenuVisible = true;
  ChartMenuVisible = true;
  CommaDelimitVisible = false;
  ChartEnabled = reportHost_.FinderChartAvailable();
}

void AstromListModel::FormActivate() {
  InfoListModel::FormActivate();
  ShowReportMenus();
}

bool AstromListModel::StartLineCommand(const char* noSelectionText) {
  UndoEnabled = false;
  EditKind = 0;
  undoAction_ = UndoAction::None;
  undoHeaderLine_ = false;
  if (Selected < 0 || Selected >= static_cast<int>(lines_.size())) {
    ShowWarning(platform_, "No Selection!", noSelectionText);
    return false;
  }
  return true;
}

ObsRec* AstromListModel::ObservationOfLine(int index) {
  if (FirstDataLine < 0 || index < FirstDataLine) return nullptr;
  return report_.Observations.Item(index - FirstDataLine);
}

void AstromListModel::MarkCaption(const char* mark) {
  // mark is " (Modified)" or " (Edited)"; its text without the blank is
  // what the caption is searched for.
  if (Caption.find(mark + 1) == std::string::npos) Caption += mark;
}

void AstromListModel::EditSelectedText1Click() {
  if (!StartLineCommand("Select Text Line for Edit!")) return;
  const int index = Selected;
  if (index < FirstDataLine) {
    ShowWarning(platform_, "Select a List Item!", "Cannot Edit Selected Header Text!  ");
    return;
  }
  if (!reportHost_.NoConfirm() && !AskYesNo(platform_, "Edit Formatted Text?",
                                            "Are You Sure You Want to Edit a Formatted Data Item?"))
    return;
  SelectedRecord = index;
  Edit80DlgModel editor;
  std::string& line = lines_[static_cast<std::size_t>(index)];
  editor.Edit1 = line.substr(0, Edit80DlgModel::MaxLength);
  if (platform_.showDialog(editor) != ModalResult::OK) return;
  UndoText = line;
  UndoIndex = index;
  line = editor.Edit1.substr(0, Edit80DlgModel::MaxLength);
  reportHost_.SetReportSaved(false);
  UndoEnabled = true;
  undoAction_ = UndoAction::TextEdit;
  MarkCaption(" (Modified)");
}

void AstromListModel::DeleteSelectedItem1Click() {
  if (!StartLineCommand("Select Item for Deletion!")) return;
  const int index = Selected;
  // The Minor Planet Center header's lines may go; the table's may not.
  if (index < FirstDataLine && !MPCHeader) {
    ShowWarning(platform_, "Select a List Item!", "Cannot Delete Selected Header Text!  ");
    return;
  }
  if (!reportHost_.NoConfirm() &&
      !AskYesNo(platform_, "Verify Deletion",
                "Are You Sure You Want to Delete this Formatted Data Item?"))
    return;
  SelectedRecord = index - FirstDataLine;
  UndoText = lines_[static_cast<std::size_t>(index)];
  UndoIndex = index;
  ObsRec* obs = ObservationOfLine(index);
  lines_.erase(lines_.begin() + index);
  Selected = -1;
  reportHost_.SetReportSaved(false);
  UndoEnabled = true;
  undoAction_ = UndoAction::Deletion;
  MarkCaption(" (Edited)");
  if (obs) {
    EditKind = 1;
    UndoObs = *obs;
    undoObsIndex_ = SelectedRecord;
    report_.Observations.DeleteCurrent();  // Item() put the cursor on it
  } else if (index < FirstDataLine) {
    // The following lines keep their observations.
    --FirstDataLine;
    undoHeaderLine_ = true;
  }
}

void AstromListModel::UndoEditClick() {
  if (!UndoEnabled) return;
  UndoEnabled = false;
  const auto n = static_cast<std::int32_t>(lines_.size());
  switch (undoAction_) {
    case UndoAction::None:
      return;
    case UndoAction::Deletion:
      if (UndoIndex < 0 || UndoIndex > n) return;
      lines_.insert(lines_.begin() + UndoIndex, UndoText);
      if (EditKind == 1) {
        // Back at the place it was taken from: that is its place in time
        // order, and its line is there too, also when the list holds equal
        // times or a parameters edit left it out of order.
        ObsRecList& list = report_.Observations;
        if (undoObsIndex_ <= 0 || !list.Item(undoObsIndex_ - 1))
          list.InsertFirst(UndoObs);
        else
          list.InsertAfter(UndoObs);
      } else if (undoHeaderLine_) {
        ++FirstDataLine;
      }
      break;
    case UndoAction::TextEdit:
    case UndoAction::ParmsEdit:
      if (UndoIndex < 0 || UndoIndex >= n) return;
      lines_[static_cast<std::size_t>(UndoIndex)] = UndoText;
      if (undoAction_ == UndoAction::ParmsEdit)
        if (ObsRec* obs = ObservationOfLine(UndoIndex)) obs->Parms = undoParms_;
      break;
  }
  undoAction_ = UndoAction::None;
}

void AstromListModel::EditObsParameters() {
  if (!StartLineCommand("Select Text Line for Edit!")) return;
  const int index = Selected;
  ObsRec* obs = ObservationOfLine(index);
  if (!obs) {
    ShowWarning(platform_, "Select a List Item!", "Cannot Edit Selected Header Text!  ");
    return;
  }
  SelectedRecord = index;
  const std::int32_t position = index - FirstDataLine;
  const ObsRec before = *obs;
  const bool fromTable = !MPCHeader;
  const std::string shown = lines_[static_cast<std::size_t>(index)];
  ObsParmsDlgModel dlg(platform_);
  dlg.ParmsRec = &obs->Parms;
  dlg.CaptionText = "Edit Parameters";
  if (platform_.showDialog(dlg) != ModalResult::OK) return;
  reportHost_.SetReportSaved(false);
  report_.ShowExerciseReport();
  // The rebuilt table has its own first measurement line: the edited one is
  // found by its position in the report, and from the Minor Planet Center
  // view the text Undo gives back is the table's line of the old record.
  const int row = FirstDataLine + position;
  UndoText = fromTable ? shown : ExerciseLine(before);
  UndoIndex = row;
  undoParms_ = before.Parms;
  UndoEnabled = true;
  undoAction_ = UndoAction::ParmsEdit;
  if (row < static_cast<int>(lines_.size())) Selected = row;
}

void AstromListModel::FormDblClick() {
  const int index = Selected;
  if (index < 0 || index >= static_cast<int>(lines_.size())) return;
  if (index >= FirstDataLine) {
    EditObservationParameters1Click();
    return;
  }
  switch (HeaderLineActionFor(lines_[static_cast<std::size_t>(index)], MPCHeader)) {
    case HeaderLineAction::User:
      UsrPop1Click();
      break;
    case HeaderLineAction::Site:
      SitePop1Click();
      break;
    case HeaderLineAction::RebuildMPC:
      report_.ShowMPCReport();
      break;
    case HeaderLineAction::None:
      break;
  }
}

void AstromListModel::Plot1Click() {
  if (!ChartEnabled || !reportHost_.FinderChartAvailable()) return;
  reportHost_.OpenFinderChart();
}

}  // namespace hv
