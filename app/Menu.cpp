#include "app/Menu.h"

#include <stdexcept>

namespace hv {

void MenuModel::Add(std::string name, std::string caption, std::string_view parent, bool enabled,
                    bool visible) {
  MenuItem m;
  m.name = std::move(name);
  m.caption = std::move(caption);
  m.parent = parent.empty() ? -1 : IndexOf(parent);
  if (!parent.empty() && m.parent < 0) throw std::logic_error("no menu " + std::string(parent));
  m.enabled = enabled;
  m.visible = visible;
  items_.push_back(std::move(m));
}

int MenuModel::IndexOf(std::string_view name) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].name == name) return static_cast<int>(i);
  return -1;
}

bool MenuModel::Has(std::string_view name) const { return IndexOf(name) >= 0; }

MenuItem& MenuModel::operator[](std::string_view name) {
  int i = IndexOf(name);
  if (i < 0) throw std::logic_error("no menu item " + std::string(name));
  return items_[static_cast<std::size_t>(i)];
}

const MenuItem& MenuModel::operator[](std::string_view name) const {
  return const_cast<MenuModel&>(*this)[name];
}

bool MenuModel::Usable(std::string_view name) const {
  for (int i = IndexOf(name); i >= 0; i = items_[static_cast<std::size_t>(i)].parent) {
    const MenuItem& m = items_[static_cast<std::size_t>(i)];
    if (!m.enabled || !m.available || !m.visible) return false;
  }
  return true;
}

std::vector<int> MenuModel::Children(int parent) const {
  std::vector<int> out;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].parent == parent) out.push_back(static_cast<int>(i));
  return out;
}

std::string MenuModel::Snapshot() const {
  std::string out;
  auto walk = [&](auto&& self, int parent, int depth) -> void {
    for (int i : Children(parent)) {
      const MenuItem& m = items_[static_cast<std::size_t>(i)];
      out += std::string(static_cast<std::size_t>(2 * depth), ' ') + m.name + " " + m.caption;
      if (!m.shortcut.empty()) out += " <" + m.shortcut + ">";
      if (!m.enabled) out += " [disabled]";
      if (m.checked) out += " [checked]";
      if (!m.visible) out += " [hidden]";
      if (!m.available) out += " [unavailable]";
      out += "\n";
      self(self, i, depth + 1);
    }
  };
  walk(walk, -1, 0);
  return out;
}

}  // namespace hv
