#include "app/Password.h"

namespace hv {

const std::string* NewPasswordText = nullptr;

namespace {
std::string Cut(std::string_view s, std::size_t n) { return std::string(s.substr(0, n)); }
}  // namespace

void TPasswordDlg::Init(std::string_view firstCode, std::string_view secondCode) {
  FirstCode = Cut(firstCode, CodeCap);
  SecondCode = Cut(secondCode, CodeCap);
  Tries = 0;
}

ModalResult TPasswordDlg::OKBtnClick() {
  ++Tries;
  if (Password == FirstCode) return ModalResult::OK;
  if (Password == SecondCode) return ModalResult::Yes;
  if (Tries < 3) return ModalResult::No;
  ShowError(platform_, "Options Access Denied!", "Too Many Invalid Passwords!");
  return ModalResult::Cancel;
}

ModalResult TPasswordDlg1::OKBtnClick() {
  // The re-entry is compared as it would be stored, as the new text was.
  if (NewPasswordText) Confirmed = Password.substr(0, TPasswordDlg::CodeCap) == *NewPasswordText;
  return ModalResult::OK;
}

ModalResult AskInstructorPassword(Platform& platform, std::string_view firstCode,
                                  std::string_view secondCode) {
  TPasswordDlg dlg(platform);
  dlg.Init(firstCode, secondCode);
  ModalResult r;
  do {
    dlg.Password.clear();
    r = platform.showDialog(dlg);
  } while (r == ModalResult::No);
  return r;
}

}  // namespace hv
