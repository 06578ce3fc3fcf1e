// The main window's image slots: loading one image or several, the view
// command, the image-file-type command, and the image windows' host.
#include "app/ImageSlots.h"

#include "app/Session.h"
#include "astrometry/FldParms.h"
#include "images/FITSFile.h"
#include "images/ImageDialogs.h"
#include "images/SBIGFile.h"
#include "images/ST4File.h"
#include "support/Format.h"

namespace hv {
namespace fs = std::filesystem;

namespace {
std::string Item(const char* stem, int slot) { return stem + std::to_string(slot + 1); }
std::size_t At(int slot) { return static_cast<std::size_t>(slot); }
}  // namespace

// ------------------------------------------------------------ window host

const OptsRec& SlotWindowHost::Settings() const { return s_.Settings; }
OptsRec& SlotWindowHost::MutableSettings() { return s_.Settings; }
void SlotWindowHost::OptionsChanged() { s_.OptionsChanged(); }
GraphicsFileObj* SlotWindowHost::ImageFile(int slot) {
  return slot >= 0 && slot <= LastSlot ? s_.ImageFiles[At(slot)].get() : nullptr;
}
const ObsParmsRec* SlotWindowHost::CurrentObs() const { return &s_.CurrentObs; }
TImageForm1* SlotWindowHost::ImageWindow(int slot) {
  return slot >= 0 && slot <= LastSlot ? s_.ImageWindows[At(slot)].get() : nullptr;
}
void SlotWindowHost::SlotBusy(int slot, bool busy) {
  // The measured image keeps its slot while its measurement runs, also
  // when its window is closed after the solution: the guide may go back
  // to it and shows it again. The slot is freed when the measurement ends.
  if (!busy && s_.MeasurementUnderWay() && slot == s_.MeasuredSlot) busy = true;
  s_.SlotBusy(slot, busy);
  // A window closing is no main-menu command: the menu is shown again here.
  if (s_.Services.MenuChanged) s_.Services.MenuChanged();
}
bool& SlotWindowHost::ZoomHintDue() { return s_.ZoomHintDue; }
hv::PrintHeader SlotWindowHost::ImagePrintHeader() const { return s_.ListPrintHeader(); }
int SlotWindowHost::ScreenWidth() const { return s_.ScreenWidth; }
void SlotWindowHost::RepaintMainWindow() {
  if (s_.Services.Repaint) s_.Services.Repaint();
}
ListHost* SlotWindowHost::ReportListHost() { return &s_; }
AstromObsObj* SlotWindowHost::Report() { return s_.Report.get(); }
ObsParmsRec* SlotWindowHost::EditableCurrentObs() { return &s_.CurrentObs; }
void SlotWindowHost::ShowSolutionReport(InfoListModel& list, bool stayOnTop, bool besideField) {
  if (s_.Services.ShowSolutionReport)
    s_.Services.ShowSolutionReport(list, stayOnTop, besideField);
  else if (s_.Services.ShowList)
    s_.Services.ShowList(list);
}
void SlotWindowHost::TargetCleared(TImageForm1& window) {
  if (!s_.MeasurementUnderWay() || s_.MeasuredSlot < 0 || s_.MeasuredSlot > LastSlot) return;
  if (s_.ImageWindows[At(s_.MeasuredSlot)].get() == &window) s_.SlctRefForm1.TargetLost();
}
void SlotWindowHost::RepaintReferenceField() {
  if (s_.GSCForm1) s_.GSCForm1->Repaint();
}
void SlotWindowHost::RemoveFieldReference(int p) {
  // The window's count of references follows its list.
  if (s_.GSCForm1 && s_.GSCForm1->RefStars.Item(p)) s_.GSCForm1->RefStars.DeleteCurrent();
}
void SlotWindowHost::RepaintBlink() {
  if (s_.BlinkForm1) s_.BlinkForm1->Repaint();
}
void SlotWindowHost::DisableBlink() {
  // A slot window is going: the blink window lets go of every window.
  if (s_.BlinkForm1) s_.BlinkForm1->ImageForms = {};
}
bool* SlotWindowHost::BlinkHintDue() { return &s_.BlinkHintDue; }
std::optional<std::pair<long double, long double>> SlotWindowHost::ApproximateCentre(
    int slot) const {
  // The field request's centre, else a FITS header's pointing.
  if (CurFldParms.RACenter != 0 || CurFldParms.DecCenter != 0)
    return std::pair{CurFldParms.RACenter, CurFldParms.DecCenter};
  const GraphicsFileObj* file =
      slot >= 0 && slot <= LastSlot ? s_.ImageFiles[At(slot)].get() : nullptr;
  if (const auto* fits = dynamic_cast<const FITSFileObj*>(file))
    return std::pair{fits->Header.RA, fits->Header.Dec};
  return std::nullopt;
}
void SlotWindowHost::BlinkWindowClosed() {
  s_.Menu.Enable("Clear1", true);
  s_.Menu.Enable("Load1", true);
  if (s_.Services.MenuChanged) s_.Services.MenuChanged();
}

void BendulakSession::Blink1Click() {
  // The blink window takes every slot and frees them all when it closes,
  // the measured one too.
  if (MeasurementUnderWay()) {
    ShowWarning(platform_, "Measurement in Progress",
                "Image " + std::to_string(MeasuredSlot + 1) +
                    " is being measured.\n\nFinish or cancel that measurement before blinking.");
    return;
  }
  int count = 0;
  while (count <= LastSlot && ImageWindows[At(count)] && ImageWindows[At(count)]->ImageLoaded)
    ++count;
  if (count < 2) return;
  for (int s = 0; s < count; ++s) SlotBusy(s, true);
  LastImageNo = static_cast<std::uint8_t>(count - 1);
  Menu.Enable("Clear1", false);
  Menu.Enable("Load1", false);
  BlinkOptions.ResetFrames();
  if (!BlinkForm1) {
    BlinkForm1 = std::make_unique<TBlinkForm1>(platform_, WindowHost);
    if (Services.BlinkWindowCreated) Services.BlinkWindowCreated(*BlinkForm1);
  }
  std::array<TImageForm1*, 4> windows{};
  for (int s = 0; s <= LastSlot; ++s) windows[At(s)] = ImageWindows[At(s)].get();
  BlinkForm1->SetImages(windows);
  if (Services.ShowBlinkWindow)
    Services.ShowBlinkWindow();
  else
    BlinkForm1->FormShow();
}

std::unique_ptr<GraphicsFileObj> MakeImageReader(int fileType, const ReaderContext& context) {
  switch (fileType) {
    case 0:
      return std::make_unique<FITSFileObj>(context);
    case 1:
      return std::make_unique<ST4FileObj>(context);
    case 2:
      return std::make_unique<SBIGFileObj>(context);
  }
  return nullptr;
}

int FilterIndexForFileType(int fileType) {
  return fileType >= 0 && fileType <= 2 ? fileType + 1 : 4;
}

// ------------------------------------------------------------ loading

ReaderContext BendulakSession::SlotReaderContext() {
  ReaderContext c(platform_, Settings);
  c.currentObs = &CurrentObs;
  c.camera = Report ? &Report->Camera : nullptr;
  c.camFromFile = &CamFromFile;
  c.listHost = this;
  // Through the session, so a file never calls a window that is gone.
  c.lists.Show = [this](InfoListModel& m) {
    if (Services.ShowList) Services.ShowList(m);
  };
  c.lists.Forget = [this](InfoListModel& m) {
    if (Services.ForgetList) Services.ForgetList(m);
  };
  return c;
}

void BendulakSession::NoteImageFile(const fs::path& file, bool ignoreCase) {
  const fs::path folder = file.parent_path() / "";
  ImageFolder = folder;
  const std::string now = folder.string(), before = Settings.StartImageFolder.string();
  const bool differs = ignoreCase ? UpperAscii(now) != UpperAscii(before) : now != before;
  if (differs) {
    // The image folder is not in the options file: the exit saves the rest.
    Settings.StartImageFolder = folder;
    UpdatesPending = true;
    Menu.Enable("SaveUpdates1", true);
  }
  ImageFileName = file.filename().string();
}

void BendulakSession::FreeSlot(int slot) {
  auto& window = ImageWindows[At(slot)];
  if (window) {
    if (Services.ImageWindowFreed) Services.ImageWindowFreed(slot);
    window.reset();
  }
  ImageFiles[At(slot)].reset();
  ImageShown[At(slot)] = false;
}

bool BendulakSession::LoadIntoSlot(int slot, const fs::path& file) {
  std::unique_ptr<GraphicsFileObj> reader =
      MakeImageReader(static_cast<int>(Settings.ImageFileType), SlotReaderContext());
  if (!reader) return false;
  CamFromFile = false;
  // The reader reports its own failure; the slot keeps its image. A file
  // that ends inside its header reaches here as an exception: it is shown
  // as the application's error, and the other files of a multiple load
  // still load.
  try {
    if (!reader->LoadFile(file)) return false;
  } catch (const std::exception& e) {
    ShowError(platform_, ApplicationTitle, e.what());
    return false;
  }
  if (Report && CamFromFile) Report->CamFromFile = 1;

  auto& window = ImageWindows[At(slot)];
  // The window lets go of the old image before it is freed.
  if (window) window->ImageFile = nullptr;
  ImageFiles[At(slot)] = std::move(reader);
  if (!window) {
    window = std::make_unique<TImageForm1>(platform_, WindowHost);
    if (Services.ImageWindowCreated) Services.ImageWindowCreated(slot, *window);
  }
  window->AttachImage(slot);
  if (Services.ClearAlignment) Services.ClearAlignment(slot);
  if (Services.Repaint) Services.Repaint();
  return true;
}

void BendulakSession::SlotLoaded(int slot) {
  const std::string meas = Item("MeasImg", slot);
  const TImageForm1* w = ImageWindows[At(slot)].get();
  Menu.Check(Item("LoadImg", slot), true);
  if (slot < LastSlot) Menu.Enable(Item("LoadImg", slot + 1), true);
  Menu.Enable(meas, w && w->ImageLoaded);
  Menu.Check(meas, false);
  if (slot == 0) Menu.Enable("MultipleLoad1", false);
  // Any loaded image can be viewed and cleared, also when a multiple load
  // could not read its first file; never while a slot is in use.
  Menu.Enable("Clear1", !AnySlotBusy());
  Menu.Enable("ImageMI", true);
  if (slot <= 1) Menu.Enable("Blink1", Menu["MeasImg1"].enabled && Menu["MeasImg2"].enabled);
}

bool BendulakSession::LoadImage(int slot) {
  if (slot < 0 || slot > LastSlot) return false;
  PaintMode = 2;
  if (Services.Repaint) Services.Repaint();
  FileChooser c;
  c.caption = "Select Image File for Load (Image " + std::to_string(slot + 1) + ")";
  c.filter = OpenDialogFilter;
  c.filterIndex = FilterIndexForFileType(static_cast<int>(Settings.ImageFileType));
  for (;;) {
    c.folder = ImageFolder;
    c.fileName = ImageFileName;
    std::optional<FileChoice> choice = platform_.openFiles(c);
    if (!choice || choice->files.empty()) return false;
    const fs::path file = choice->files.front();
    NoteImageFile(file, true);
    const int type = static_cast<int>(Settings.ImageFileType);
    if (type >= 0 && type <= 2) {
      BusyCursor busy(platform_);
      return LoadIntoSlot(slot, file);
    }
    MessageRequest q;
    q.caption = "File Type Not Supported!";
    q.text = "The file type you selected (extension " + UpperAscii(file.extension().string()) +
             ") is not supported!\r\n\r\nDo you want to change your selection?";
    q.icon = MsgIcon::Error;
    q.buttons = Buttons::YesNo;
    q.sound = Sound::Hand;
    if (platform_.message(q) != ModalResult::Yes) return false;
  }
}

void BendulakSession::LoadImgClick(int n) {
  const int slot = n - 1;
  if (slot < 0 || slot > LastSlot || SlotIsBusy[At(slot)]) return;
  if (!Settings.NoConfirm && Menu[Item("LoadImg", slot)].checked &&
      !AskYesNo(platform_, "Confirm",
                "Replace Current Image " + std::to_string(n) + " With New Image?"))
    return;
  if (LoadImage(slot)) SlotLoaded(slot);
}

void BendulakSession::MultipleLoad1Click() {
  // Every slot may be replaced: none may be in use.
  if (AnySlotBusy()) return;
  PaintMode = 2;
  if (Services.Repaint) Services.Repaint();
  FileChooser c;
  c.caption = "Select (n <= 4) Image Files for Load";
  c.filter = OpenDialogFilter;
  c.filterIndex = FilterIndexForFileType(static_cast<int>(Settings.ImageFileType));
  c.multiple = true;
  c.folder = ImageFolder;
  c.fileName = ImageFileName;
  std::vector<fs::path> files;
  for (;;) {
    std::optional<FileChoice> choice = platform_.openFiles(c);
    if (!choice || choice->files.empty()) return;
    if (choice->files.size() <= LastSlot + 1u) {
      files = choice->files;
      break;
    }
    ShowWarning(platform_, "Too Many Files!", "A Maximum of Four (4) Files May Be Selected.");
  }
  BusyCursor busy(platform_);
  const int type = static_cast<int>(Settings.ImageFileType);
  int slot = 0;
  // The last file of the list goes to the first slot, one slot per file.
  for (auto it = files.rbegin(); it != files.rend(); ++it, ++slot) {
    NoteImageFile(*it, false);
    if (type < 0 || type > 2) continue;
    if (LoadIntoSlot(slot, *it)) SlotLoaded(slot);
  }
}

// ------------------------------------------------------------ view, file type

void BendulakSession::ViewAdjust1Click() {
  TImgSlctForm1 local;
  TImgSlctForm1& dlg = ImgSlctForm1 ? *ImgSlctForm1 : local;
  for (int n = 0; n <= LastSlot; ++n) {
    const TImageForm1* w = ImageWindows[At(n)].get();
    dlg.Slots[At(n)] = {w != nullptr, w && w->ImageLoaded,
                        w && w->Visible && !w->Minimized && !w->Maximized};
  }
  if (platform_.showDialog(dlg) != ModalResult::OK) return;
  int x = 0, y = 0;
  for (int n = 0; n <= LastSlot; ++n) {
    TImageForm1* w = ImageWindows[At(n)].get();
    // Only a window with its image can be shown.
    if (!ImageShown[At(n)] || !w || !w->ImageLoaded) continue;
    SlotBusy(n, true);
    w->ShowZoomMenus(true);
    w->Minimized = false;
    w->Visible = true;
    w->Changed();
    if (Services.ShowImageWindow) Services.ShowImageWindow(n, x, y);
    x += 20;
    y += 20;
  }
}

void BendulakSession::ImageFileType1Click() {
  FileTypeOpts = &Settings;
  TImgFileTypeDlg dlg(platform_);
  const ModalResult r = platform_.showDialog(dlg);
  FileTypeOpts = nullptr;
  if (r == ModalResult::OK) OptionsChanged();
}

}  // namespace hv
