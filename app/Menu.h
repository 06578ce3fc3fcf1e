#pragma once
// The main menu as data: every item with its caption, shortcut and flags.
// The Qt window builds its menu bar from this model and mirrors it after
// every command, so a test can compare a snapshot of the menu.
#include <string>
#include <string_view>
#include <vector>

namespace hv {

struct MenuItem {
  std::string name;      // the item's name in the code ("Login1")
  std::string caption;   // with "&" before the access letter; "-" for a separator
  std::string shortcut;  // key sequence text ("Ctrl+L"), empty for none
  int parent = -1;       // index of the submenu or menu holding it; -1 for a menu-bar menu
  bool enabled = true;
  bool checkable = false;  // shows a check mark when checked
  bool checked = false;
  bool visible = true;
  // False while the command's code is not in this build: shown, never enabled.
  bool available = true;
  bool separator() const { return caption == "-"; }
};

class MenuModel {
 public:
  // Adds an item under parent (a name, empty for the menu bar).
  void Add(std::string name, std::string caption, std::string_view parent = {}, bool enabled = true,
           bool visible = true);

  MenuItem& operator[](std::string_view name);
  const MenuItem& operator[](std::string_view name) const;
  bool Has(std::string_view name) const;
  void Enable(std::string_view name, bool on) { (*this)[name].enabled = on; }
  void Check(std::string_view name, bool on) { (*this)[name].checked = on; }
  void Show(std::string_view name, bool on) { (*this)[name].visible = on; }
  // What the student can click: enabled, available, and its menus enabled.
  bool Usable(std::string_view name) const;

  const std::vector<MenuItem>& Items() const { return items_; }
  std::vector<int> Children(int parent) const;
  int IndexOf(std::string_view name) const;

  // One line per item, indented by depth: "Login1 &Login... [enabled]" with
  // the flags that differ from a plain item: disabled, checked, hidden,
  // unavailable.
  std::string Snapshot() const;

 private:
  std::vector<MenuItem> items_;
};

}  // namespace hv
