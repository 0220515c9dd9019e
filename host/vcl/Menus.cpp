// Menus: menu items as a tree of components; a popup menu builds the platform menu when it is
// shown and runs the chosen item once the menu has closed; a main menu keeps its window's bar
// built from the items.
#include "host/vcl/Menus.h"

#include <algorithm>

#include "host/core/Exceptions.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

// Command identifiers fit the 16 bits of WM_COMMAND; the range wraps after 65000 items.
UINT NextCommand() {
  static UINT next = 100;
  const UINT id = next;
  next = next >= 0xFF00 ? 100 : next + 1;
  return id;
}

}  // namespace

// ------------------------------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FCommand(NextCommand()) {}

TMenuItem::~TMenuItem() {
  Clear();
  if (FParent) FParent->Remove(this);
}

void TMenuItem::SetCaption(const std::string& value) {
  FCaption = value;
  Changed();
}
void TMenuItem::SetChecked(bool value) {
  FChecked = value;
  Changed();
}
void TMenuItem::SetDefault(bool value) {
  FDefault = value;
  Changed();
}
void TMenuItem::SetEnabled(bool value) {
  FEnabled = value;
  Changed();
}
void TMenuItem::SetVisible(bool value) {
  FVisible = value;
  Changed();
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->FParent) root = root->FParent;
  return root->FMenu;
}

void TMenuItem::Changed() {
  if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("Menu index out of range (" + std::to_string(index) + ")");
  return FItems[static_cast<size_t>(index)];
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->FParent) throw EListError("Menu inserted twice");
  if (index < 0 || index > Count()) throw EListError("Menu index out of range (" + std::to_string(index) + ")");
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == item) throw EListError("A menu item cannot contain itself");
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  item->FParent = nullptr;
  Changed();
}

void TMenuItem::Delete(int index) { delete Items(index); }

void TMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();  // each destructor removes itself
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(UINT command) {
  if (FCommand == command && FParent) return this;
  for (TMenuItem* item : FItems)
    if (TMenuItem* found = item->Find(command)) return found;
  return nullptr;
}

void TMenuItem::Click() { FOnClick(this); }

void TMenuItem::BuildMenu(HMENU menu) const {
  UINT position = 0;
  for (const TMenuItem* item : FItems) {
    if (!item->FVisible) continue;
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    if (item->IsLine()) {
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_SEPARATOR;
    } else {
      info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE;
      info.dwTypeData = const_cast<char*>(item->FCaption.c_str());
      info.wID = item->FCommand;
      info.fState = (item->FChecked ? MFS_CHECKED : 0) | (item->FEnabled ? 0 : MFS_GRAYED) |
                    (item->FDefault ? MFS_DEFAULT : 0);
      if (!item->FItems.empty()) {
        HMENU sub = os::user32.CreatePopupMenu();
        item->BuildMenu(sub);
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = sub;
      }
    }
    os::user32.InsertMenuItemA(menu, position++, TRUE, &info);
  }
}

void TMenuItem::GetChildren(std::vector<TComponent*>& children, const TComponent& root) const {
  for (TMenuItem* item : FItems)
    if (item->Owner() == &root) children.push_back(item);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (FParent) FParent->Remove(this);
  if (auto* menu = dynamic_cast<TMenu*>(parent)) menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent)) item->Add(this);
}

bool TMenuItem::HasParent() const { return true; }

// ----------------------------------------------------------------------------------------- TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(new TMenuItem(this)) { FItems->FMenu = this; }

TMenu::~TMenu() {
  // Frees the whole tree now, while the menu is whole; the items no longer report changes.
  FItems->FMenu = nullptr;
  delete FItems;
  FItems = nullptr;
}

TMenuItem* TMenu::FindItem(UINT command) const { return FItems ? FItems->Find(command) : nullptr; }

void TMenu::GetChildren(std::vector<TComponent*>& children, const TComponent& root) const {
  if (FItems) FItems->GetChildren(children, root);
}

// ------------------------------------------------------------------------------------ TPopupMenu

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

HWND TPopupMenu::WindowHandle() const { return Application ? Application->Handle() : nullptr; }

void TPopupMenu::Popup(int x, int y) {
  FOnPopup(this);
  FLastChosen = nullptr;
  FHandle.reset(os::user32.CreatePopupMenu());
  if (!FHandle) throw EOutOfResources("Cannot create a popup menu");
  Items()->BuildMenu(FHandle.get());
  HWND owner = WindowHandle();
  // The owner must be the foreground window, or the menu does not close when clicked away.
  os::user32.SetForegroundWindow(owner);
  const UINT align = FAlignment == paRight ? TPM_RIGHTALIGN : FAlignment == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
  const UINT command = static_cast<UINT>(
      os::user32.TrackPopupMenu(FHandle.get(), align | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, owner, nullptr));
  os::user32.PostMessageA(owner, WM_NULL, 0, 0);
  if (command) FLastChosen = FindItem(command);
  if (FLastChosen) FLastChosen->Click();
}

// ------------------------------------------------------------------------------------- TMainMenu

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

TMainMenu::~TMainMenu() { SetWindowHandle(nullptr); }

void TMainMenu::SetWindowHandle(HWND window) {
  if (window == FWindow) return;
  if (FWindow && os::user32.IsWindow(FWindow)) {
    os::user32.SetMenu(FWindow, nullptr);
    os::user32.DrawMenuBar(FWindow);
  }
  FWindow = window;
  Rebuild();
}

void TMainMenu::MenuChanged() { Rebuild(); }

void TMainMenu::Rebuild() {
  if (!FWindow) {
    FHandle.reset();
    return;
  }
  // The new bar goes up before the old one is freed: the window never shows a freed menu.
  os::UniqueHMenu bar(os::user32.CreateMenu());
  if (!bar) throw EOutOfResources("Cannot create a menu bar");
  Items()->BuildMenu(bar.get());
  if (!os::user32.SetMenu(FWindow, bar.get())) {
    const DWORD error = os::kernel32.GetLastError();
    throw EOutOfResources("Cannot show the menu bar (error " + std::to_string(error) + ")");
  }
  FHandle = std::move(bar);
  os::user32.DrawMenuBar(FWindow);
}

}  // namespace kyt
