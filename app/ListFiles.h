#pragma once
// The stations file and the camera file: flat sequences of whole site or
// camera record images, kept in name order, read whole when a pick list is
// made and rewritten whole after every change.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/Options.h"
#include "app/Records.h"
#include "platform/Platform.h"
#include "support/LinkList.h"

namespace hv {

// Name order: byte by byte as unsigned characters over the shorter length,
// then the shorter name first; case-sensitive, blanks count. Equal only when
// length and every byte agree.
bool NameGreater(std::string_view a, std::string_view b);

bool SiteNameEqual(const SiteRec& a, const SiteRec& b);
bool SiteNameGreater(const SiteRec& a, const SiteRec& b);  // a orders after b
bool CamNameEqual(const CamRec& a, const CamRec& b);
bool CamNameGreater(const CamRec& a, const CamRec& b);

class SiteRecList : public LinkListObj<SiteRec> {
 public:
  bool SameKey(const SiteRec& a, const SiteRec& b) const override { return SiteNameEqual(a, b); }
  bool KeyGreater(const SiteRec& a, const SiteRec& b) const override {
    return SiteNameGreater(a, b);
  }
};

class CamRecList : public LinkListObj<CamRec> {
 public:
  bool SameKey(const CamRec& a, const CamRec& b) const override { return CamNameEqual(a, b); }
  bool KeyGreater(const CamRec& a, const CamRec& b) const override { return CamNameGreater(a, b); }
};

// Where a list file lies: a name with a folder part as it is, a bare name in
// the program folder.
std::filesystem::path ListFilePath(std::string_view name,
                                   const std::filesystem::path& programFolder);

// The stations file behind a site pick list.
class SiteListFile {
 public:
  explicit SiteListFile(Platform& p) : platform_(p) {}

  std::filesystem::path FileName;  // resolved
  SiteRecList Sites;               // every stored site, in name order

  // Resolves FileName from settings.StationsFile and reads the file into
  // Sites; a missing file gives an empty list without a message. A failed
  // read shows "Error Occurred Reading Station File!", keeps the records
  // read before the failure, marks the file unreadable and throws the
  // FileError on, for the application's error handler; the pick list then
  // shows no lines.
  void Load(const OptsRec& settings);
  // True after a failed read: the file is not rewritten from this list.
  bool ReadFailed() const { return readFailed_; }

  // Cursor on the first site of that name, which is returned; nullptr when
  // there is none, with the cursor on the last site (none in an empty list).
  SiteRec* Find(const SiteRec& site);

  // Rewrites the whole file from the list, atomically. After a failed read
  // it says so and returns false, leaving the file as it is. A failure
  // while writing shows the file error with the file's name and returns
  // false (the old file stays).
  bool WriteSiteFile();

  // The names in list order, the lines of the pick list.
  std::vector<std::string> Names() const;

 private:
  Platform& platform_;
  bool readFailed_ = false;
};

// The camera file behind a camera pick list; as SiteListFile.
class CamListFile {
 public:
  explicit CamListFile(Platform& p) : platform_(p) {}

  std::filesystem::path FileName;
  CamRecList Cameras;

  void Load(const OptsRec& settings);
  bool ReadFailed() const { return readFailed_; }
  CamRec* Find(const CamRec& camera);
  bool WriteCamFile();
  std::vector<std::string> Names() const;

 private:
  Platform& platform_;
  bool readFailed_ = false;
};

}  // namespace hv
