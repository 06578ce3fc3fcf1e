#include "app/Login.h"

#include "support/Codec.h"

namespace hv {

LoginRec* LoginToFill = nullptr;

void EncodeLoginRec(Encoder& e, const LoginRec& r) {
  e.str(r.Name1, LoginCap::Name);
  e.str(r.Name2, LoginCap::Name);
  e.str(r.Name3, LoginCap::Name);
  e.str(r.Name4, LoginCap::Name);
  e.str(r.TableNumber, LoginCap::TableNumber);
  e.str(r.UserID, LoginCap::UserID);
}

LoginRec DecodeLoginRec(Decoder& d) {
  LoginRec r;
  r.Name1 = d.str(LoginCap::Name);
  r.Name2 = d.str(LoginCap::Name);
  r.Name3 = d.str(LoginCap::Name);
  r.Name4 = d.str(LoginCap::Name);
  r.TableNumber = d.str(LoginCap::TableNumber);
  r.UserID = d.str(LoginCap::UserID);
  return r;
}

std::string DeriveUserID(const std::string& name1) {
  if (name1.empty()) return {};
  std::size_t last = name1.rfind(' ');
  std::string id = last == std::string::npos ? name1 : name1.substr(0, 1) + name1.substr(last + 1);
  return id.substr(0, LoginCap::UserID);
}

std::string UserFolderName(const std::string& id) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < id.size(); ++i) {
    auto c = static_cast<unsigned char>(id[i]);
    bool bad = c < 0x20 || c == 0x7F || c == '%' || c == '/' || c == '\\' || c == ':' || c == '*' ||
               c == '?' || c == '"' || c == '<' || c == '>' || c == '|' || (i == 0 && c == '.') ||
               (i + 1 == id.size() && (c == ' ' || c == '.'));
    if (bad) {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void LoginDlgModel::FormCreate(const std::string& settingsTableNumber) {
  if (!LoginToFill) {
    ShowWarning(platform_, "Cannot Record Login!", "Login Record Not Assigned!");
    return;
  }
  LoginToFill->Name1.clear();
  LoginToFill->Name2.clear();
  LoginToFill->Name3.clear();
  LoginToFill->Name4.clear();
  LoginToFill->TableNumber.clear();
  for (std::string& s : Stud) s.clear();
  LabTbl = settingsTableNumber;
}

bool LoginDlgModel::OKBtnClick() {
  if (!LoginToFill) return false;
  LoginRec& r = *LoginToFill;
  r.Name1 = Stud[0].substr(0, LoginCap::Name);
  r.Name2 = Stud[1].substr(0, LoginCap::Name);
  r.Name3 = Stud[2].substr(0, LoginCap::Name);
  r.Name4 = Stud[3].substr(0, LoginCap::Name);
  r.TableNumber = LabTbl.substr(0, LoginCap::TableNumber);
  if (!r.Name1.empty()) {
    if (!AskYesNo(platform_, "Login Completed?", "Have You Finished Logging In?")) return false;
    r.UserID = DeriveUserID(r.Name1);
    return true;
  }
  MessageRequest q;
  q.caption = "No Entry!";
  q.text = "You Didn't Enter Anything!";
  q.icon = MsgIcon::Warning;
  q.buttons = Buttons::OKCancel;
  q.sound = Sound::Exclamation;
  if (platform_.message(q) != ModalResult::OK) return false;
  r.Name1 = "*** Student Did Not Log In Properly ***";
  r.UserID = "NOLOG";
  return true;
}

}  // namespace hv
