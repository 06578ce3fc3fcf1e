#pragma once
// Text lines of "name = value" pairs, as the controls' property files hold
// them, and the kinds of the properties they carry.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

// The kind of a published property; 0 when there is none.
enum TypeKind : std::uint8_t {
  tkUnknown = 0,
  tkInteger = 1,
  tkChar = 2,
  tkEnumeration = 3,
  tkFloat = 4,
  tkString = 5,
  tkSet = 6,
  tkClass = 7,
};

// Text without leading and trailing blanks and control characters.
std::string TrimText(std::string_view text);

// At the first occurrence of separator: name is the trimmed text before it,
// value the trimmed text after its first character; both empty when the
// separator does not occur.
void SplitNameValue(std::string_view line, std::string_view separator, std::string& name,
                    std::string& value);

// The first line whose name (before "=") equals name without regard to case
// is removed from the lines and gives the value.
bool FindNameValue(std::string_view name, std::string& value, std::vector<std::string>& lines);

// Case-insensitive comparison of ASCII names.
bool SameName(std::string_view a, std::string_view b);

// Splits a file's text into lines (CR LF or LF).
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace hv
