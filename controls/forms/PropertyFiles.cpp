#include "controls/forms/PropertyFiles.h"

#include <QMetaProperty>
#include <QVariant>
#include <QWidget>
#include <charconv>
#include <cstdint>
#include <stdexcept>

namespace hv {

namespace {

// The properties a class publishes: its own and its ancestors' past the
// toolkit's base classes.
int FirstPublished(const QMetaObject* meta) {
  for (const QMetaObject* m = meta; m; m = m->superClass())
    if (m == &QWidget::staticMetaObject) return QWidget::staticMetaObject.propertyCount();
  return QObject::staticMetaObject.propertyCount();
}

std::string Dotted(std::string_view prefix, const char* name) {
  std::string p = TrimText(prefix);
  return p.empty() ? std::string(name) : p + "." + name;
}

TypeKind KindOf(const QMetaProperty& p) {
  if (p.isFlagType()) return tkSet;
  // A plain C++ enumeration (the bevel style) is one too.
  if (p.isEnumType() || (p.metaType().flags() & QMetaType::IsEnumeration)) return tkEnumeration;
  switch (p.metaType().id()) {
    case QMetaType::Bool:
      return tkEnumeration;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::SChar:
      return tkInteger;
    case QMetaType::Char:
    case QMetaType::QChar:
      return tkChar;
    case QMetaType::Double:
    case QMetaType::Float:
      return tkFloat;
    case QMetaType::QString:
    case QMetaType::QByteArray:
      return tkString;
    default:
      return (p.metaType().flags() & QMetaType::PointerToQObject) ? tkClass : tkUnknown;
  }
}

QObject* Held(const QObject& object, const QMetaProperty& p) {
  return p.read(&object).value<QObject*>();
}

std::string IntText(std::int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string ValueText(const QObject& object, const QMetaProperty& p) {
  const QVariant v = p.read(&object);
  switch (KindOf(p)) {
    case tkEnumeration:
    case tkSet:
    case tkInteger:
      // A colour is a signed ordinal, as the files have always held it.
      if (p.metaType().id() == QMetaType::UInt)
        return IntText(static_cast<std::int32_t>(v.toUInt()));
      return IntText(v.toLongLong());
    case tkChar:
      return IntText(v.toInt());
    case tkFloat: {
      char buf[32];
      auto r = std::to_chars(buf, buf + sizeof buf, v.toDouble());
      return std::string(buf, r.ptr);
    }
    case tkString:
      return v.toString().toLatin1().toStdString();
    default:
      return {};
  }
}

std::int64_t ParseInteger(const std::string& text) {
  std::int64_t v = 0;
  const char* b = text.data();
  const char* e = b + text.size();
  if (b != e && *b == '+') ++b;
  auto r = std::from_chars(b, e, v);
  if (text.empty() || r.ec != std::errc() || r.ptr != e)
    throw std::runtime_error("'" + text + "' is not a valid integer value");
  return v;
}

double ParseReal(std::string text) {
  // Values written with either decimal separator are taken.
  if (auto comma = text.find(','); comma != std::string::npos) text[comma] = '.';
  double v = 0;
  const char* b = text.data();
  const char* e = b + text.size();
  if (b != e && *b == '+') ++b;
  auto r = std::from_chars(b, e, v);
  if (text.empty() || r.ec != std::errc() || r.ptr != e)
    throw std::runtime_error("'" + text + "' is not a valid floating point value");
  return v;
}

void Apply(QObject& object, const QMetaProperty& p, const std::string& text) {
  QVariant v;
  switch (KindOf(p)) {
    case tkEnumeration:
    case tkSet:
    case tkInteger:
    case tkChar: {
      std::int64_t n = ParseInteger(text);
      if (p.metaType().id() == QMetaType::Bool)
        v = QVariant(n != 0);
      else if (p.metaType().id() == QMetaType::UInt)
        v = QVariant(static_cast<uint>(static_cast<std::uint32_t>(n)));
      else
        v = QVariant(static_cast<int>(n));
      break;
    }
    case tkFloat:
      v = QVariant(ParseReal(text));
      break;
    case tkString:
      v = QVariant(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
      break;
    default:
      return;
  }
  p.write(&object, v);
}

}  // namespace

void SaveProperties(const QObject& object, std::string_view prefix, std::vector<std::string>& lines,
                    const std::vector<std::string>& excluded) {
  const QMetaObject* meta = object.metaObject();
  for (int i = FirstPublished(meta); i < meta->propertyCount(); ++i) {
    const QMetaProperty p = meta->property(i);
    if (!p.isStored() || !p.isWritable()) continue;
    const std::string name = Dotted(prefix, p.name());
    bool skip = false;
    for (const std::string& x : excluded) skip = skip || SameName(x, name);
    if (skip) continue;
    if (KindOf(p) == tkClass) {
      if (QObject* held = Held(object, p)) SaveProperties(*held, name, lines, excluded);
      continue;
    }
    std::string line = name + " = " + ValueText(object, p);
    if (line.size() > 255) line.resize(255);
    lines.push_back(std::move(line));
  }
}

void LoadProperties(QObject& object, std::string_view prefix, std::vector<std::string>& lines) {
  const QMetaObject* meta = object.metaObject();
  for (int i = FirstPublished(meta); i < meta->propertyCount(); ++i) {
    const QMetaProperty p = meta->property(i);
    if (!p.isStored() || !p.isWritable()) continue;
    const std::string name = Dotted(prefix, p.name());
    if (KindOf(p) == tkClass) {
      if (QObject* held = Held(object, p)) LoadProperties(*held, name, lines);
      continue;
    }
    std::string value;
    if (FindNameValue(name, value, lines)) Apply(object, p, value);
  }
}

void SetPropertyFromText(QObject& object, std::string_view prefix, const std::string& text,
                         std::string_view name) {
  const QMetaObject* meta = object.metaObject();
  for (int i = FirstPublished(meta); i < meta->propertyCount(); ++i) {
    const QMetaProperty p = meta->property(i);
    if (!p.isWritable()) continue;
    const std::string dotted = Dotted(prefix, p.name());
    const TypeKind kind = KindOf(p);
    if (kind == tkClass) {
      if (QObject* held = Held(object, p)) SetPropertyFromText(*held, dotted, text, name);
      continue;
    }
    if (!SameName(dotted, name)) continue;
    std::string t = text;
    if (kind == tkEnumeration) {
      if (SameName(t, "True"))
        t = "1";
      else if (SameName(t, "False"))
        t = "0";
      if (p.metaType().id() == QMetaType::Bool && t != "0") t = "1";
    }
    Apply(object, p, t);
  }
}

QObject* ObjectProperty(const QObject& object, std::string_view name) {
  const QMetaObject* meta = object.metaObject();
  for (int i = FirstPublished(meta); i < meta->propertyCount(); ++i) {
    const QMetaProperty p = meta->property(i);
    if (SameName(p.name(), name)) return KindOf(p) == tkClass ? Held(object, p) : nullptr;
  }
  return nullptr;
}

TypeKind PropertyKindOf(const QObject& object, std::string_view dottedName) {
  const QMetaObject* meta = object.metaObject();
  for (int i = FirstPublished(meta); i < meta->propertyCount(); ++i) {
    const QMetaProperty p = meta->property(i);
    const std::string_view name = p.name();
    if (SameName(name, dottedName)) return KindOf(p);
    if (KindOf(p) == tkClass && dottedName.size() > name.size() && dottedName[name.size()] == '.' &&
        SameName(dottedName.substr(0, name.size()), name))
      if (QObject* held = Held(object, p))
        return PropertyKindOf(*held, dottedName.substr(name.size() + 1));
  }
  return tkUnknown;
}

}  // namespace hv
