#include "app/ImageSlots.h"

#include <gtest/gtest.h>

#include <cctype>

#include "app/Session.h"
#include "app/Startup.h"
#include "astrometry/FldParms.h"
#include "images/Blink.h"
#include "images/Display.h"
#include "images/FITSWriter.h"
#include "images/ImageDialogs.h"
#include "support/Files.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A small 16-bit FITS image with a little structure, so that it renders.
void WriteFits(const fs::path& path, int w = 40, int h = 30) {
  std::vector<std::int16_t> v(static_cast<std::size_t>(w) * h);
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<std::int16_t>(100 + (i * 37) % 50);
  FITSWriter f;
  f.Logical("SIMPLE", true).Int("BITPIX", 16).Int("NAXIS", 2).Int("NAXIS1", w).Int("NAXIS2", h);
  f.End().I16(v).Pad();
  WriteFileAtomic(path, f.Bytes());
}

Lines Changed(const std::string& before, const std::string& after) {
  auto lines = [](const std::string& t) {
    Lines out;
    std::size_t at = 0;
    for (std::size_t nl; (nl = t.find('\n', at)) != std::string::npos; at = nl + 1)
      out.push_back(t.substr(at, nl - at));
    return out;
  };
  Lines a = lines(before), b = lines(after), out;
  for (std::size_t i = 0; i < b.size(); ++i)
    if (i >= a.size() || a[i] != b[i]) out.push_back(b[i]);
  return out;
}

// A started session (the command line skips the login) with a folder of
// images: a.fit, b.fit, c.fit, d.fit, e.fit and the damaged bad.fit and
// cut.fit.
class ImageSlotsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prog = test::FreshFolder("prog");
    data = test::FreshFolder("data");
    images = test::FreshFolder("imgs");
    fs::current_path(data);
    for (const auto& e : fs::directory_iterator(fs::path(HV_SOURCE_DIR) / "app" / "shipped"))
      fs::copy_file(e.path(), prog / e.path().filename());
    p.programPath = prog / "halvardin";
    p.opticalDrives = {test::FreshFolder("disc")};
    for (const char* n : {"a.fit", "b.fit", "c.fit", "d.fit", "e.fit"}) WriteFits(images / n);
    // Without NAXIS (the reader's own error box) and cut inside its header.
    FITSWriter bad;
    bad.Logical("SIMPLE", true).Int("BITPIX", 16).End();
    WriteFileAtomic(images / "bad.fit", bad.Bytes());
    WriteFileAtomic(images / "cut.fit", std::string_view("SIMPLE  =                    T"));
    s = std::make_unique<BendulakSession>(p);
    s->Services.ImageWindowCreated = [this](int slot, TImageForm1&) { created.push_back(slot); };
    s->Services.ImageWindowFreed = [this](int slot) { freed.push_back(slot); };
    s->Services.ShowImageWindow = [this](int slot, int x, int y) { shown.push_back({slot, x, y}); };
    s->Services.MenuChanged = [this] { ++menuChanged; };
    s->Services.ShowList = [this](InfoListModel& m) { listsShown.push_back(&m); };
    s->Services.ForgetList = [this](InfoListModel& m) { listsForgotten.push_back(&m); };
    Bendulak = s.get();
    StartupFacts f;
    f.arguments = {"NOMAD"};
    f.currentFolder = data;
    FormCreate(*s, f, {});
    BoxParms = s->Settings.BoxParms;
    CreateImageDialogs();
    last = s->Menu.Snapshot();
  }
  void TearDown() override {
    s.reset();
    FreeImageDialogs();
    Bendulak = nullptr;
    LoginToFill = nullptr;
  }
  // The menu lines changed since the last call.
  Lines Step() {
    std::string now = s->Menu.Snapshot();
    Lines d = Changed(last, now);
    last = now;
    return d;
  }
  static FileChoice Files(std::vector<fs::path> f) { return FileChoice{std::move(f), 1}; }
  GraphicsFileObj* File(int slot) { return s->ImageFiles[static_cast<std::size_t>(slot)].get(); }
  TImageForm1* Window(int slot) { return s->ImageWindows[static_cast<std::size_t>(slot)].get(); }
  std::string Name(int slot) { return File(slot) ? File(slot)->DisplayName : "-"; }

  test::Scripted p;
  fs::path prog, data, images;
  std::unique_ptr<BendulakSession> s;
  std::string last;
  std::vector<int> created, freed;
  struct Shown {
    int slot, x, y;
    bool operator==(const Shown&) const = default;
  };
  std::vector<Shown> shown;
  int menuChanged = 0;
  std::vector<InfoListModel*> listsShown, listsForgotten;
};

TEST_F(ImageSlotsTest, LoadOneImageThenReplaceIt) {
  // A cancelled first load only switches the client area to the image list.
  p.expectOpen(std::nullopt);
  s->LoadImg1Click();
  EXPECT_EQ(s->PaintMode, 2);
  EXPECT_EQ(Step(), Lines{});
  ASSERT_EQ(p.choosers().size(), 1u);
  const FileChooser& c = p.choosers()[0];
  EXPECT_EQ(c.caption, "Select Image File for Load (Image 1)");
  EXPECT_EQ(c.folder, s->Settings.WorkFolder);
  EXPECT_EQ(c.filterIndex, 1);
  EXPECT_FALSE(c.multiple);

  p.expectOpen(Files({images / "a.fit"}));
  s->LoadImg1Click();
  EXPECT_EQ(Name(0), "A.FIT");
  ASSERT_TRUE(Window(0));
  EXPECT_TRUE(Window(0)->ImageLoaded);
  EXPECT_FALSE(Window(0)->Visible) << "a loaded window stays hidden";
  EXPECT_EQ(Window(0)->ImageFile, File(0));
  EXPECT_EQ(created, (std::vector<int>{0}));
  EXPECT_EQ(p.busyDepth, 0);
  EXPECT_EQ(s->Report->Camera.ImageWidth, 40) << "the reader filled the report's camera";
  EXPECT_EQ(s->Report->CamFromFile, 1);
  EXPECT_EQ(Step(),
            (Lines{"  Clear1 &Clear Images/Ref. Fields",
                   "    MultipleLoad1 &Multiple Load [disabled]", "    LoadImg1 Image &1 [checked]",
                   "    LoadImg2 Image &2", "    SaveUpdates1 &Save Updates", "ImageMI &Images",
                   "    MeasImg1 Image &1"}));
  // A new folder marks the settings changed; the next dialog starts there.
  EXPECT_TRUE(s->UpdatesPending);
  EXPECT_EQ(s->Settings.StartImageFolder, images / "");
  EXPECT_EQ(s->ImageFolder, images / "");
  EXPECT_EQ(s->ImageFileName, "a.fit");

  // Replacing asks first; No changes nothing.
  p.expectMessage(ModalResult::No, "", "Replace Current Image 1 With New Image?");
  s->LoadImg1Click();
  EXPECT_EQ(Name(0), "A.FIT");

  // A file that cannot be read leaves the slot's image and menus.
  GraphicsFileObj* before = File(0);
  p.expectMessage(ModalResult::Yes, "", "Replace Current Image 1 With New Image?");
  p.expectOpen(Files({images / "bad.fit"}));
  p.expectMessage(ModalResult::OK, "FITS File Error!");
  s->LoadImg1Click();
  EXPECT_EQ(File(0), before);
  EXPECT_EQ(Window(0)->ImageFile, before);
  EXPECT_TRUE(Window(0)->ImageLoaded);
  EXPECT_EQ(Step(), Lines{});
  EXPECT_EQ(p.choosers().back().fileName, "a.fit") << "the dialog offers the last name chosen";

  // A successful replacement keeps the window and shows the new image.
  TImageForm1* window = Window(0);
  p.expectMessage(ModalResult::Yes, "", "Replace Current Image 1 With New Image?");
  p.expectOpen(Files({images / "b.fit"}));
  s->LoadImg1Click();
  EXPECT_EQ(Name(0), "B.FIT");
  EXPECT_EQ(Window(0), window);
  EXPECT_EQ(Window(0)->ImageFile, File(0));
  EXPECT_EQ(Window(0)->Caption, "Image 1 - B.FIT");

  // Without confirmations nothing is asked.
  s->Settings.NoConfirm = true;
  p.expectOpen(Files({images / "c.fit"}));
  s->LoadImg1Click();
  EXPECT_EQ(Name(0), "C.FIT");

  // Image 2 follows, and blinking becomes possible.
  p.expectOpen(Files({images / "d.fit"}));
  s->LoadImg2Click();
  EXPECT_EQ(p.choosers().back().caption, "Select Image File for Load (Image 2)");
  EXPECT_EQ(Step(),
            (Lines{"    LoadImg2 Image &2 [checked]", "    LoadImg3 Image &3",
                   "    MeasImg2 Image &2", "  Blink1 &Blink..."}));
}

TEST_F(ImageSlotsTest, FolderChangesIgnoreCaseOnlyInSingleLoads) {
  std::string name = images.filename().string();
  for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  const fs::path upper = images.parent_path() / name;
  fs::create_directory(upper);
  WriteFits(upper / "x.fit");
  p.expectOpen(Files({images / "a.fit"}));
  s->LoadImg1Click();
  s->ClearPending();
  s->Settings.NoConfirm = true;
  p.expectOpen(Files({upper / "x.fit"}));
  s->LoadImg1Click();
  EXPECT_FALSE(s->UpdatesPending) << "IMGS and imgs compare equal in a single load";
  EXPECT_EQ(s->ImageFolder, upper / "");
  EXPECT_EQ(s->Settings.StartImageFolder, images / "");

  s->Object1Click();
  p.expectOpen(Files({upper / "x.fit"}));
  s->MultipleLoad1Click();
  EXPECT_TRUE(s->UpdatesPending) << "a multiple load compares the texts as they stand";
  EXPECT_EQ(s->Settings.StartImageFolder, upper / "");
}

TEST_F(ImageSlotsTest, MultipleLoadFillsTheSlotsFromTheEndOfTheList) {
  // Five files are too many: the dialog comes again.
  p.expectOpen(Files(
      {images / "a.fit", images / "b.fit", images / "c.fit", images / "d.fit", images / "e.fit"}));
  p.expectMessage(ModalResult::OK, "Too Many Files!",
                  "A Maximum of Four (4) Files May Be Selected.");
  // A file cut inside its header is an error of its own; the next file
  // still loads.
  p.expectOpen(Files({images / "a.fit", images / "cut.fit", images / "c.fit"}));
  p.expectMessage(ModalResult::OK, "Halvardin", "Read beyond end of file");
  s->MultipleLoad1Click();
  ASSERT_EQ(p.choosers().size(), 2u);
  EXPECT_EQ(p.choosers()[0].caption, "Select (n <= 4) Image Files for Load");
  EXPECT_TRUE(p.choosers()[0].multiple);
  EXPECT_EQ(p.messages()[0].icon, MsgIcon::Warning);
  EXPECT_EQ(Name(0), "C.FIT");
  EXPECT_EQ(Name(1), "-") << "the failed file keeps its slot";
  EXPECT_EQ(Name(2), "A.FIT");
  EXPECT_FALSE(Window(1));
  EXPECT_EQ(created, (std::vector<int>{0, 2}));
  EXPECT_EQ(s->ImageFileName, "a.fit");
  EXPECT_EQ(p.busyDepth, 0);
  EXPECT_EQ(Step(),
            (Lines{"  Clear1 &Clear Images/Ref. Fields",
                   "    MultipleLoad1 &Multiple Load [disabled]", "    LoadImg1 Image &1 [checked]",
                   "    LoadImg2 Image &2", "    LoadImg3 Image &3 [disabled] [checked]",
                   "    LoadImg4 Image &4", "    SaveUpdates1 &Save Updates", "ImageMI &Images",
                   "    MeasImg1 Image &1", "    MeasImg3 Image &3"}));
}

TEST_F(ImageSlotsTest, ImagesLoadedBehindAFailedFirstFileCanBeViewedAndCleared) {
  p.expectOpen(Files({images / "a.fit", images / "bad.fit"}));
  p.expectMessage(ModalResult::OK, "FITS File Error!");
  s->MultipleLoad1Click();
  EXPECT_EQ(Name(0), "-");
  EXPECT_EQ(Name(1), "A.FIT");
  EXPECT_TRUE(s->Menu.Usable("ViewAdjust1"));
  EXPECT_TRUE(s->Menu.Usable("Object1"));
}

TEST_F(ImageSlotsTest, ViewShowsTheChosenWindowsAndBusySlotsDisableTheirCommands) {
  p.expectOpen(Files({images / "c.fit", images / "b.fit", images / "a.fit"}));
  s->MultipleLoad1Click();
  Step();

  p.expectDialog("TImgSlctForm1", [](DialogModel& m) {
    auto& d = static_cast<TImgSlctForm1&>(m);
    d.FormActivate();
    EXPECT_EQ(d.BoxEnabled, (std::array<bool, 4>{true, true, true, false}));
    d.BoxChecked = {true, false, true, false};
    return d.OKBtnClick();
  });
  s->ViewAdjust1Click();
  EXPECT_EQ(shown, (std::vector<Shown>{{0, 0, 0}, {2, 20, 20}}));
  EXPECT_TRUE(Window(0)->Visible);
  EXPECT_FALSE(Window(1)->Visible);
  EXPECT_TRUE(Window(2)->Menus.ZoomItemsVisible);
  EXPECT_EQ(Step(), (Lines{"  ImageFileType1 Set Image &File Type... [disabled]",
                           "  Clear1 &Clear Images/Ref. Fields [disabled]",
                           "    LoadImg1 Image &1 [disabled] [checked]",
                           "    LoadImg3 Image &3 [disabled] [checked]"}));

  // Closing one window frees its slot only; the shared commands wait for
  // the other.
  Window(0)->Close1Click();
  EXPECT_EQ(menuChanged, 1);
  EXPECT_EQ(Step(), (Lines{"    LoadImg1 Image &1 [checked]"}));
  Window(2)->Close1Click();
  EXPECT_EQ(Step(),
            (Lines{"  ImageFileType1 Set Image &File Type...", "  Clear1 &Clear Images/Ref. Fields",
                   "    LoadImg3 Image &3 [checked]"}));

  // Cancel shows nothing.
  shown.clear();
  p.expectDialog("TImgSlctForm1", [](DialogModel&) { return ModalResult::Cancel; });
  s->ViewAdjust1Click();
  EXPECT_TRUE(shown.empty());
}

TEST_F(ImageSlotsTest, ClearFreesTheWindowsAndTheirListWindows) {
  p.expectOpen(Files({images / "b.fit", images / "a.fit"}));
  s->MultipleLoad1Click();
  Window(0)->Header1Click();
  Window(0)->Image1Click();
  ASSERT_EQ(listsShown.size(), 2u);
  EXPECT_EQ(listsShown[0], File(0)->HdrListWin.get());
  EXPECT_EQ(listsShown[0]->Caption, "Image 1 - A.FIT");
  EXPECT_EQ(listsShown[1]->Caption, "Image 1 - Image Data");

  p.expectMessage(ModalResult::Yes, "Verify Clear");
  s->Object1Click();
  EXPECT_EQ(freed, (std::vector<int>{0, 1}));
  EXPECT_EQ(listsForgotten, listsShown) << "no list window outlives its file";
  EXPECT_FALSE(File(0));
  EXPECT_FALSE(Window(1));
  EXPECT_EQ(ImageShown, (std::array<bool, 4>{}));

  // The next load makes a fresh window.
  p.expectOpen(Files({images / "c.fit"}));
  s->LoadImg1Click();
  EXPECT_EQ(created, (std::vector<int>{0, 1, 0}));
}

TEST_F(ImageSlotsTest, FileTypeSettingChoosesTheReaderAndTheFilter) {
  // The dialog edits the header time of the working copy; OK saves at once.
  p.expectDialog("TImgFileTypeDlg", [](DialogModel& m) {
    auto& d = static_cast<TImgFileTypeDlg&>(m);
    d.FormActivate();
    EXPECT_FALSE(d.FlTypeGrpEnabled);
    d.TimeTypGrpClick(2);
    return d.OKBtnClick();
  });
  s->ImageFileType1Click();
  EXPECT_EQ(s->Settings.HeaderTime, static_cast<HeaderTimeCode>(2));
  EXPECT_FALSE(s->UpdatesPending) << "saved at once";
  EXPECT_EQ(FileTypeOpts, nullptr);

  // An ST-4 setting reads even a FITS file as ST-4 and offers ST-4 files.
  s->Settings.ImageFileType = ImageFileTypeCode::ST4;
  p.expectOpen(Files({images / "a.fit"}));
  p.expectMessage(ModalResult::OK, "Halvardin", "Read beyond end of file");
  s->LoadImg1Click();
  EXPECT_EQ(p.choosers().back().filterIndex, 2);
  EXPECT_FALSE(File(0));
  EXPECT_FALSE(s->Menu["LoadImg1"].checked);

  // A value outside the three (a damaged options file) asks to choose again
  // in a single load and loads nothing in a multiple load.
  s->Settings.ImageFileType = static_cast<ImageFileTypeCode>(7);
  p.expectOpen(Files({images / "a.fit"}));
  p.expectMessage(ModalResult::Yes, "File Type Not Supported!",
                  "The file type you selected (extension .FIT) is not supported!\r\n\r\n"
                  "Do you want to change your selection?");
  p.expectOpen(Files({images / "b.fit"}));
  p.expectMessage(ModalResult::No, "File Type Not Supported!");
  s->LoadImg1Click();
  EXPECT_EQ(p.choosers().back().filterIndex, 4);
  EXPECT_EQ(p.messages().back().icon, MsgIcon::Error);
  p.expectOpen(Files({images / "a.fit"}));
  s->MultipleLoad1Click();
  EXPECT_FALSE(File(0));
  EXPECT_EQ(s->ImageFileName, "a.fit");
}

}  // namespace
}  // namespace hv

namespace hv {
namespace {

TEST_F(ImageSlotsTest, BlinkTakesTheLoadedSlotsUntilItsWindowCloses) {
  ResetBlinkDialogs();
  p.expectOpen(Files({images / "c.fit", images / "b.fit", images / "a.fit"}));
  s->MultipleLoad1Click();
  ASSERT_TRUE(s->Menu.Usable("Blink1"));
  AlignOffsets[1] = {3, 4};
  ImageAligned[1] = true;
  p.expectMessage(ModalResult::Yes, "Confirm", "Replace Current Image 2");
  p.expectOpen(Files({images / "d.fit"}));
  s->LoadImg2Click();
  EXPECT_FALSE(ImageAligned[1]) << "a reloaded slot loses its alignment";
  EXPECT_EQ(AlignOffsets[1].DX, 0);
  Step();

  s->Blink1Click();
  ASSERT_TRUE(s->BlinkForm1);
  TBlinkForm1& b = *s->BlinkForm1;
  EXPECT_EQ(LastImageNo, 2);
  EXPECT_EQ(s->SlotIsBusy, (std::array<bool, 4>{true, true, true, false}));
  EXPECT_EQ(BlinkOptions.Frames, (std::array<std::uint8_t, 4>{0, 1, 2, 4}));
  EXPECT_TRUE(b.Visible);
  EXPECT_EQ(b.Caption, "Blinking Images: Image 1 - A.FIT");
  EXPECT_EQ(b.ImageForms[2], Window(2));
  EXPECT_FALSE(Window(0)->Visible) << "the slot windows stay hidden";
  ASSERT_TRUE(b.InitForm);
  EXPECT_TRUE(b.InitForm->Visible) << "never aligned: the alignment begins";
  EXPECT_FALSE(s->Menu["Clear1"].enabled);
  EXPECT_FALSE(s->Menu["Load1"].enabled);

  b.InitForm->CnclBtnClick();
  b.Exit1Click();
  EXPECT_FALSE(b.Visible);
  EXPECT_EQ(s->SlotIsBusy, (std::array<bool, 4>{}));
  EXPECT_TRUE(s->Menu["Clear1"].enabled);
  EXPECT_TRUE(s->Menu["Load1"].enabled);

  // Clearing the images drops the region and the windows the blink window had.
  b.RegionSet = true;
  p.expectMessage(ModalResult::Yes, "Verify Clear");
  s->Object1Click();
  EXPECT_FALSE(b.RegionSet);
  EXPECT_EQ(b.ImageForms, (std::array<TImageForm1*, 4>{}));
  EXPECT_TRUE(b.BlinkMenus.Zoom1);
  ResetBlinkDialogs();
}

// The blink window shows the slots' windows: the exit closes it (its timer
// and its hold on the slots) before it frees them.
TEST_F(ImageSlotsTest, TheExitClosesTheBlinkWindowBeforeTheSlotsWindowsGo) {
  ResetBlinkDialogs();
  p.expectOpen(Files({images / "b.fit", images / "a.fit"}));
  s->MultipleLoad1Click();
  s->Blink1Click();
  ASSERT_TRUE(s->BlinkForm1);
  TBlinkForm1& b = *s->BlinkForm1;
  b.Blink1Click();
  ASSERT_TRUE(b.Visible);
  ASSERT_TRUE(b.TimerEnabled);
  // What the blink window still held when each slot's window was freed.
  Lines held;
  s->Services.ImageWindowFreed = [&](int slot) {
    held.push_back(std::to_string(slot) + (b.Visible ? " shown" : "") +
                   (b.TimerEnabled ? " blinking" : "") +
                   (s->SlotIsBusy[static_cast<std::size_t>(slot)] ? " busy" : ""));
  };
  s->FormClose();
  EXPECT_EQ(held, (Lines{"0", "1"})) << "the blink window closed first";
  EXPECT_EQ(b.ImageForms, (std::array<TImageForm1*, 4>{})) << "no freed window is kept";
  ResetBlinkDialogs();
}

// Counts what a window asks of its form.
struct CountingView : ImageWindowView {
  int repaints = 0;
  void Repaint() override { ++repaints; }
  void RepaintNow(const IntRect&) override {}
  void StateChanged() override {}
  void PopupMenu(int, int) override {}
};

TEST_F(ImageSlotsTest, BlinkShowsADisplayChangeWhileTheDialogIsOpen) {
  ResetBlinkDialogs();
  p.expectOpen(Files({images / "b.fit", images / "a.fit"}));
  s->MultipleLoad1Click();
  s->Blink1Click();
  ASSERT_TRUE(s->BlinkForm1);
  TBlinkForm1& b = *s->BlinkForm1;
  b.InitForm->CnclBtnClick();
  CountingView view;
  b.SetView(&view);
  // Every move of a slider repaints the blink window at once; the slot
  // window is neither shown nor freed meanwhile.
  std::vector<int> seen;
  p.expectDialog("TImgAdjstDlg", [&](DialogModel& m) {
    auto& d = static_cast<TImgAdjstDlg&>(m);
    d.FormActivate();
    const int before = view.repaints;
    d.BriteScrollChange(20);
    seen.push_back(view.repaints - before);
    d.CntrstScrollChange(-30);
    seen.push_back(view.repaints - before);
    EXPECT_FALSE(Window(1)->Visible);
    return d.OkBtn1Click();
  });
  b.AdjustImage(1);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_GE(seen[0], 1);
  EXPECT_GT(seen[1], seen[0]);
  EXPECT_FALSE(Window(1)->Visible);
  EXPECT_EQ(b.ImageForms[1], Window(1));
  b.SetView(nullptr);
  b.Exit1Click();
  ResetBlinkDialogs();
}

TEST_F(ImageSlotsTest, ImagePrintsGiveTheApproximateCentre) {
  FITSWriter f;
  std::vector<std::int16_t> v(8 * 6, 100);
  f.Logical("SIMPLE", true).Int("BITPIX", 16).Int("NAXIS", 2).Int("NAXIS1", 8).Int("NAXIS2", 6);
  f.Str("RA", "12:30:00").Str("DEC", "-05:15:00").End().I16(v).Pad();
  WriteFileAtomic(images / "pointed.fit", f.Bytes());
  p.expectOpen(Files({images / "pointed.fit"}));
  s->LoadImg1Click();
  ASSERT_TRUE(Window(0));
  auto printed = [&] {
    p.printedPages.clear();
    EXPECT_TRUE(Window(0)->PrintDocument());
    for (const auto& page : p.printedPages)
      for (const auto& op : page.ops)
        if (op.find("Approximate Coordinates") != std::string::npos) return op;
    return std::string();
  };
  const FldParmsRec saved = CurFldParms;
  CurFldParms.RACenter = CurFldParms.DecCenter = 0;
  EXPECT_NE(printed().find("RA:  12h 30m,   Dec:  -5\xB0 15'"), std::string::npos)
      << "the header's pointing";
  CurFldParms.RACenter = 3.5L;
  CurFldParms.DecCenter = 20;
  EXPECT_NE(printed().find("RA:   3h 30m,   Dec:  20\xB0 00'"), std::string::npos)
      << "the field request's";
  CurFldParms = saved;
}

}  // namespace
}  // namespace hv
