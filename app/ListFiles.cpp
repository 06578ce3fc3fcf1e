#include "app/ListFiles.h"

#include <system_error>

#include "support/Files.h"
#include "support/Format.h"

namespace hv {
namespace fs = std::filesystem;

bool NameGreater(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca != cb) return ca > cb;
  }
  return a.size() > b.size();
}

bool SiteNameEqual(const SiteRec& a, const SiteRec& b) { return a.Name == b.Name; }
bool SiteNameGreater(const SiteRec& a, const SiteRec& b) { return NameGreater(a.Name, b.Name); }
bool CamNameEqual(const CamRec& a, const CamRec& b) { return a.Name == b.Name; }
bool CamNameGreater(const CamRec& a, const CamRec& b) { return NameGreater(a.Name, b.Name); }

fs::path ListFilePath(std::string_view name, const fs::path& programFolder) {
  fs::path p{std::string(name)};
  if (p.has_parent_path()) return p;
  return programFolder / p;
}

namespace {

struct Texts {
  const char* caption;
  const char* readError;
  const char* kind;  // for the refusal to rewrite
};
constexpr Texts SiteTexts{"Station File Error", "Error Occurred Reading Station File!", "Station"};
constexpr Texts CamTexts{"Camera File Error", "Error Occurred Reading Camera File!", "Camera"};

// Reads every whole record of the file into the list in name order. A
// failure (I/O error, a record cut short) is shown, then thrown on; the
// records read before it stay in the list.
template <class List, class DecodeFn>
void ReadList(Platform& p, const fs::path& path, List& list, std::size_t size, DecodeFn decode,
              const Texts& t, bool& failed) {
  list.Clear();
  failed = false;
  std::error_code ec;
  if (!fs::exists(path, ec) || fs::is_directory(path, ec)) return;
  try {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    Decoder d(bytes);
    while (d.remaining() >= size) list.InsertSorted(decode(d));
    if (d.remaining() != 0) throw FileError(path, 100, IOErrorText(100) + " " + path.string());
  } catch (const FileError&) {
    failed = true;
    ShowError(p, t.caption, t.readError);
    throw;
  }
}

template <class List, class EncodeFn>
bool WriteList(Platform& p, const fs::path& path, List& list, EncodeFn encode, const Texts& t,
               bool failed) {
  if (failed) {
    // A refused action, not an error of its own: the warning sound and icon.
    ShowWarning(p, t.caption,
                std::string(t.kind) + " file " + path.string() +
                    " could not be read completely.\r\n" +
                    "It is not rewritten, so that the records behind the damage are not lost.");
    return false;
  }
  list.Reset();
  Encoder e;
  for (const auto& item : list) encode(e, item);
  try {
    WriteFileAtomic(path, e.data());
  } catch (const FileError& err) {
    // A full disk or a read-only folder: said here, as the options save
    // does, not left to the generic error box. The old file stays whole.
    ShowError(p, t.caption,
              std::string("Unable to save ") + t.kind + " File!\r\n\r\nFileName: " + path.string() +
                  "\r\n" + IOErrorText(err.code()));
    return false;
  }
  return true;
}

template <class List, class Rec>
Rec* FindName(List& list, const Rec& rec) {
  list.Reset();
  while (Rec* item = list.Next()) {
    if (list.SameKey(*item, rec)) return item;
    if (list.AtLast()) break;  // the cursor stays on the last item
  }
  return nullptr;
}

template <class List>
std::vector<std::string> NamesOf(const List& list) {
  std::vector<std::string> out;
  for (const auto& item : list) out.push_back(item.Name);
  return out;
}

}  // namespace

void SiteListFile::Load(const OptsRec& settings) {
  FileName = ListFilePath(settings.StationsFile, settings.ProgramFolder);
  ReadList(platform_, FileName, Sites, SiteRecSize, DecodeSiteRec, SiteTexts, readFailed_);
}

SiteRec* SiteListFile::Find(const SiteRec& site) { return FindName(Sites, site); }

bool SiteListFile::WriteSiteFile() {
  return WriteList(platform_, FileName, Sites, EncodeSiteRec, SiteTexts, readFailed_);
}

std::vector<std::string> SiteListFile::Names() const { return NamesOf(Sites); }

void CamListFile::Load(const OptsRec& settings) {
  FileName = ListFilePath(settings.CameraFile, settings.ProgramFolder);
  ReadList(platform_, FileName, Cameras, CamRecSize, DecodeCamRec, CamTexts, readFailed_);
}

CamRec* CamListFile::Find(const CamRec& camera) { return FindName(Cameras, camera); }

bool CamListFile::WriteCamFile() {
  return WriteList(platform_, FileName, Cameras, EncodeCamRec, CamTexts, readFailed_);
}

std::vector<std::string> CamListFile::Names() const { return NamesOf(Cameras); }

}  // namespace hv
