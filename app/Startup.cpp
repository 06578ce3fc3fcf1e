#include "app/Startup.h"

#include "images/BoxParmsDlg.h"
#include "support/Files.h"
#include "support/Format.h"

namespace hv {
namespace fs = std::filesystem;

namespace {
// A drive-letter path ends with its own separator.
std::string ClosingSeparator(std::string s) {
  if (!s.empty() && s.back() != '/' && s.back() != '\\')
    s += s.find('\\') != std::string::npos && s.find('/') == std::string::npos ? '\\' : '/';
  return s;
}
}  // namespace

CommandLineKind ApplyCommandLine(const std::vector<std::string>& arguments,
                                 const fs::path& currentFolder, OptsRec& settings,
                                 fs::path& imageFolder) {
  std::string rest;
  for (const std::string& a : arguments) rest += (rest.empty() ? "" : " ") + a;
  std::size_t first = rest.find_first_not_of(' ');
  rest = first == std::string::npos ? std::string() : rest.substr(first);
  const std::string upper = UpperAscii(rest);

  CommandLineKind kind = CommandLineKind::None;
  std::string catalog;
  std::size_t colon = rest.find(':');
  std::error_code ec;
  if (colon != std::string::npos && colon >= 1) {
    // A drive-letter path: from the letter before the first ":".
    catalog = upper.substr(colon - 1);
    kind = CommandLineKind::CatalogPath;
  } else if (!rest.empty() && (rest.front() == '/' || fs::is_directory(currentFolder / rest, ec))) {
    // Folder names keep their case here.
    fs::path p = rest.front() == '/' ? fs::path(rest) : currentFolder / rest;
    catalog = p.lexically_normal().string();
    kind = CommandLineKind::CatalogPath;
  } else if (upper.find("NOMAD") != std::string::npos) {
    kind = CommandLineKind::NOMAD;
  } else if (upper.find("USNO-B1.0") != std::string::npos) {
    kind = CommandLineKind::USNOB1;
  }

  switch (kind) {
    case CommandLineKind::CatalogPath:
      settings.GSCPath1 = settings.GSCPath2 = ClosingSeparator(catalog);
      settings.GSCFormat = GSCFormatCode::Quillan;
      settings.StarCatalog = CatalogCode::GSC;
      break;
    case CommandLineKind::NOMAD:
      settings.StarCatalog = CatalogCode::NOMAD;
      break;
    case CommandLineKind::USNOB1:
      settings.StarCatalog = CatalogCode::USNOB1;
      break;
    case CommandLineKind::None:
      settings.ExerciseMode = !settings.TestMode;
      settings.WorkFolder.clear();
      imageFolder = settings.StartImageFolder;
      return kind;
  }
  settings.ExerciseMode = false;
  settings.WorkFolder = fs::path(ClosingSeparator(currentFolder.string()));
  imageFolder = settings.WorkFolder;
  return kind;
}

std::optional<fs::path> PictureFile(const OptsRec& settings, const std::string& name) {
  if (name.empty()) return std::nullopt;
  return FindCaseInsensitive(settings.ProgramFolder, name);
}

void FormCreate(BendulakSession& s, const StartupFacts& facts, const StartupResources& res) {
  Platform& p = s.platform();
  if (facts.screenWidth < 800 || facts.screenHeight < 600) {
    ShowError(p, "Screen Resolution Not Adequate!",
              "You Cannot Run the \"Halvardin\" Software\r\n"
              "With a Screen Resolution of Less Than 800x600 Pixels!\r\n\r\n"
              "See Windows Help for information on changing the screen resolution.");
    s.QuitRequested = true;
  }
  s.PaintMode = 0;
  s.Opts = std::make_unique<OptsObj>(p);
  if (!s.Opts->Init(OptionsFileName, ProgramVersion)) {
    // No writable data folder was given: the program ends.
    s.QuitRequested = true;
    return;
  }
  s.Settings = s.Opts->Settings;
  s.Settings.StartImageFolder = s.Settings.ProgramFolder;

  // Each shipped file loads on its own: one that is missing is reported
  // and the creation goes on with the next.
  auto report = [&](const std::optional<std::string>& error) {
    if (error) ShowError(p, ApplicationTitle, *error);
  };
  if (auto file = PictureFile(s.Settings, s.Settings.LogoBitmap); file && res.LoadTitlePicture)
    report(res.LoadTitlePicture(*file));
  s.PictureLoaded = false;
  BoxParms = s.Settings.BoxParms;
  s.SetHelpItems();
  if (res.LoadCursor)
    report(res.LoadCursor(FindCaseInsensitive(s.Settings.ProgramFolder, CursorFileName)));

  ApplyCommandLine(facts.arguments, facts.currentFolder, s.Settings, s.ImageFolder);
  s.ImageFileName.clear();

  s.SessionLog.reset();
  s.CloseConfirmed = s.SessionStarted = s.OptionsAccess = s.MoreRefsHintGiven = false;
  s.RefFieldStale = s.ZoomHintDue = s.BlinkHintDue = true;
  if (!s.Settings.ExerciseMode && !s.QuitRequested) s.StartSession();
}

}  // namespace hv
