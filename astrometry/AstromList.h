#pragma once
// The report window's line editor and the rules by which the report window
// routes a double-click. The report window's model itself, AstromListModel,
// is declared with the report in astrometry/AstromObs.h; its handlers are
// in AstromList.cpp.
#include <cstddef>
#include <string>
#include <string_view>

#include "astrometry/AstromObs.h"
#include "platform/Platform.h"

namespace hv {

// The 80-column line editor (TEdit80Dlg). It has no rules of its own: the
// caller puts the line into Edit1, shows it and reads Edit1 back after OK.
class Edit80DlgModel : public DialogModel {
 public:
  static constexpr std::size_t MaxLength = 80;
  std::string_view dialogName() const override { return "TEdit80Dlg"; }

  std::string Caption = "Edit Text Line";
  std::string Edit1;  // at most MaxLength characters

  // The two ruler labels under the edit: "123456789 " over 80 columns, and
  // 10, 20, ..., 80 each ending at its own column.
  static std::string RulerDigits();
  static std::string RulerTens();
};

// What a double-click on a line before the first observation does.
enum class HeaderLineAction { None, User, Site, RebuildMPC };
// mpcHeader: the Minor Planet Center header is shown (else the table).
HeaderLineAction HeaderLineActionFor(const std::string& line, bool mpcHeader);

}  // namespace hv
