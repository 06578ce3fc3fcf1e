#pragma once
// Published (Q_PROPERTY) properties of a control saved to and loaded from
// "name = value" text lines; nested objects add their name as a dotted
// prefix.
#include <QObject>
#include <string>
#include <string_view>
#include <vector>

#include "controls/PropertyText.h"

namespace hv {

// Every stored, writable published property in declaration order, as
// name + " = " + value (ordinals in decimal, reals shortest, texts as they
// are; a line is cut at 255 characters); names in excluded are skipped.
void SaveProperties(const QObject& object, std::string_view prefix, std::vector<std::string>& lines,
                    const std::vector<std::string>& excluded);

// The same walk: each property found in the lines (FindNameValue) takes its
// value, the line is removed. A value that does not convert raises an error
// naming it; properties before it keep what they took.
void LoadProperties(QObject& object, std::string_view prefix, std::vector<std::string>& lines);

// Applies text to the published, writable property whose (dotted) name
// equals name without regard to case, searching nested objects: ordinals by
// the text-to-integer conversion, where for enumerations "True" is 1 and
// "False" 0 and, for the two-valued ones, any text but "0" is 1; reals by the
// text-to-real conversion; texts as they are.
void SetPropertyFromText(QObject& object, std::string_view prefix, const std::string& text,
                         std::string_view name);

// The object a published object-valued property holds, else null.
QObject* ObjectProperty(const QObject& object, std::string_view name);

// The kind of the published property found by a case-insensitive dotted
// name, searching nested objects; tkUnknown when there is none.
TypeKind PropertyKindOf(const QObject& object, std::string_view dottedName);

}  // namespace hv
