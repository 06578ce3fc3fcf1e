#include "app/Folders.h"

#include <cstdlib>
#include <system_error>

#include "support/Files.h"

namespace hv {
namespace fs = std::filesystem;

fs::path WithSeparator(const fs::path& folder) {
  if (folder.empty() || !folder.has_filename()) return folder;
  fs::path out = folder;
  out += fs::path::preferred_separator;
  return out;
}

bool HoldsShippedFiles(const fs::path& folder) {
  std::error_code ec;
  for (const char* name : {"VESKLOGO.BMP", "ASTRMHLP.LST", "REMINDER.AST", "XPXHAIR.CUR"}) {
    if (fs::is_regular_file(FindCaseInsensitive(folder, name), ec)) return true;
  }
  return false;
}

fs::path FindProgramFolder(Platform& p) {
  fs::path exe = p.programFile();
  fs::path own = exe.empty() ? fs::current_path() : exe.parent_path();
  own = WithSeparator(own);
  if (HoldsShippedFiles(own)) return own;
  fs::path share = WithSeparator(own / ".." / "share" / "halvardin");
  std::error_code ec;
  if (HoldsShippedFiles(share)) {
    fs::path canonical = fs::weakly_canonical(share, ec);
    return ec ? share : WithSeparator(canonical);
  }
  return own;
}

bool PathWriteProtected(const fs::path& folder) {
  try {
    fs::path probe = CreateUniqueFile(folder.empty() ? fs::path(".") : folder, "Test", ".tmp");
    std::error_code ec;
    fs::remove(probe, ec);
    return false;
  } catch (const FileError&) {
    return true;
  }
}

std::string CurrentUserName(Platform& p) {
  std::string user = p.userName();
  return user.empty() ? "VESK User" : user;
}

fs::path FallbackDataFolder(Platform& p) {
  fs::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = fs::path(home) / ".local" / "share";
  } else {
    base = fs::path("/home") / CurrentUserName(p) / ".local" / "share";
  }
  return WithSeparator(base / "VESK" / "Bendulak");
}

std::optional<fs::path> FindDataFolder(Platform& p, const fs::path& current, bool perUserRule) {
  fs::path data = WithSeparator(current);
  if (!perUserRule || !PathWriteProtected(data)) return data;

  fs::path fallback = FallbackDataFolder(p);
  std::error_code ec;
  fs::create_directories(fallback, ec);
  // The fallback must itself take files, or it would fail later, silently.
  if (fs::is_directory(fallback, ec) && !PathWriteProtected(fallback)) {
    fs::current_path(fallback, ec);
    if (!ec) return fallback;
  }

  MessageRequest box;
  box.caption = "Write-Enabled Storage Required";
  box.text = "Path \"" + data.string() + "\" is write-protected!\r\n\r\n" +
             "You must provide a path to write-enabled storage.  " +
             "If you are using removable storage,\r\n" +
             "such as a USB device, please mount it before continuing, " +
             "then select it in the dialog that follows.";
  box.icon = MsgIcon::Error;
  box.buttons = Buttons::OKCancel;
  box.sound = Sound::Hand;
  if (p.message(box) != ModalResult::OK) return std::nullopt;

  FolderChooser chooser;
  chooser.caption = "Select Write-Enabled Storage";
  chooser.start = fallback;
  chooser.allowCreate = true;
  auto chosen = p.chooseFolder(chooser);
  if (!chosen || chosen->empty()) return std::nullopt;
  return WithSeparator(*chosen);
}

bool HoldsCatalogVolume(const fs::path& folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  const fs::path tables = FindCaseInsensitive(folder, "TABLES");
  if (fs::is_regular_file(FindCaseInsensitive(tables, "REGIONS.TBL"), ec)) return true;
  return fs::is_directory(FindCaseInsensitive(folder, "GSC"), ec);
}

fs::path FindCDROMDrive(Platform& p, const std::vector<fs::path>& catalogFolders, bool mayAsk) {
  for (const fs::path& root : p.opticalDriveRoots()) {
    if (!root.empty()) return WithSeparator(root);
  }
  // Without an optical drive, a catalog on disk stands for the disc.
  for (const fs::path& folder : catalogFolders)
    if (HoldsCatalogVolume(folder)) return WithSeparator(folder);
  if (!mayAsk) return {};
  InputRequest ask;
  ask.caption = "CDROM Drive?";
  ask.prompt = "Please Enter Drive Letter of CDROM:";
  auto entry = p.inputLine(ask);
  if (!entry || entry->empty()) return {};
  // The entry field takes at most 20 characters.
  return WithSeparator(fs::path(entry->substr(0, 20)));
}

}  // namespace hv
