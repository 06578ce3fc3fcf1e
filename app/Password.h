#pragma once
// The instructor's password prompt and the confirmation of a new password.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace hv {

// "Password Required": one dialog lives through the whole retry loop of a
// login, so its try count spans the repeated showings.
class TPasswordDlg : public DialogModel {
 public:
  explicit TPasswordDlg(Platform& platform) : platform_(platform) {}
  std::string_view dialogName() const override { return "TPasswordDlg"; }

  static constexpr std::size_t CodeCap = 16;
  std::string FirstCode;   // the instructor password
  std::string SecondCode;  // the second accepted code
  std::int32_t Tries = 0;  // OK presses since Init
  std::string Password;    // the edit, shown as "*"

  // Both codes cut to 16 characters; the try count starts again.
  void Init(std::string_view firstCode, std::string_view secondCode);
  // OK for the first code, Yes for the second, No for a wrong entry to be
  // retried, Cancel at the third wrong entry (after its message).
  ModalResult OKBtnClick();

 private:
  Platform& platform_;
};

// The new password while the confirmation dialog is shown, null otherwise.
extern const std::string* NewPasswordText;

// "Confirm Password Change": the caller reads Confirmed, not the result.
class TPasswordDlg1 : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TPasswordDlg1"; }

  bool Confirmed = false;
  std::string Password;  // the edit, shown as "#"

  ModalResult OKBtnClick();
};

// The login's password loop: Init once, then show the dialog with an
// empty entry until its result is not No.
ModalResult AskInstructorPassword(Platform& platform, std::string_view firstCode,
                                  std::string_view secondCode);

}  // namespace hv
