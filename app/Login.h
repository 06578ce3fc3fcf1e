#pragma once
// The students at a laboratory table and the short user ID that names their
// work folder; the login dialog's rules.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "support/Codec.h"

namespace hv {

constexpr std::size_t LoginRecSize = 178;
namespace LoginCap {
constexpr std::size_t Name = 40, TableNumber = 4, UserID = 8;
}

struct LoginRec {
  std::string Name1, Name2, Name3, Name4;  // string[40]
  std::string TableNumber;                 // string[4]
  std::string UserID;                      // string[8]
};

void EncodeLoginRec(Encoder& e, const LoginRec& r);
// Reads exactly LoginRecSize bytes; DecodeError when they end early.
LoginRec DecodeLoginRec(Decoder& d);

// The record a login dialog or session start fills; the main window sets it.
extern LoginRec* LoginToFill;

// The user ID as the students typed their first name: its first character
// and the text after its last blank when it holds a blank, else its first
// 8 characters; cut to 8 in either case.
std::string DeriveUserID(const std::string& name1);

// A folder name for the user ID that the file system accepts and that no
// other ID maps to: characters a folder name cannot hold, a leading dot and
// a trailing blank or dot are written as "%" and two hex digits ("%" itself
// too). The ID itself stays as typed for the log and the prints.
std::string UserFolderName(const std::string& userID);

// The login dialog ("Student Accounting") without its widgets.
class LoginDlgModel : public DialogModel {
 public:
  explicit LoginDlgModel(Platform& platform) : platform_(platform) {}
  std::string_view dialogName() const override { return "TLoginDlg"; }

  // The edits Stud1..Stud4 and LabTbl.
  std::string Stud[4];
  std::string LabTbl;

  // Empties the record's names and table number; the table edit shows the
  // settings' table number.
  void FormCreate(const std::string& settingsTableNumber);
  // True when the dialog closes.
  bool OKBtnClick();

 private:
  Platform& platform_;
};

}  // namespace hv
