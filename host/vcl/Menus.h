// Menus: popup and main menus and their items. A menu holds a tree of TMenuItem objects; a
// TPopupMenu shows it at a screen position and runs the OnClick of the item chosen, a TMainMenu
// is the menu bar of the form whose Menu it is.
#ifndef KYT_HOST_VCL_MENUS_H
#define KYT_HOST_VCL_MENUS_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/core/Component.h"
#include "host/core/Events.h"
#include "host/os/Handles.h"
#include "host/os/Win.h"

namespace kyt {

// One menu entry ("-" as caption makes a separator). Items nest: an item with items is a
// submenu. An item is owned by its Owner (as every component) and sits in its parent item.
class TMenuItem : public TComponent {
  KYT_CLASS(TMenuItem, TComponent)
 public:
  static void Publish(TPublisher<TMenuItem>& p) {
    p.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption).TypeName("TCaption");
    p.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
    p.Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
    p.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
    p.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint).Default(std::string());
    p.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
    p.Property("OnClick", &TMenuItem::OnClick, &TMenuItem::SetOnClick);
  }

  explicit TMenuItem(TComponent* owner);
  // Leaves its parent item and frees its own items.
  ~TMenuItem() override;

  // Properties
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& value) { FHint = value; }
  // The command identifier the item has in the platform menu (unique in the process).
  UINT Command() const { return FCommand; }
  bool IsLine() const { return FCaption == "-"; }

  // Sub-items, in order.
  int Count() const { return static_cast<int>(FItems.size()); }
  // EListError when out of range.
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const;

  // Events
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& value) { FOnClick = value; }

  // Methods
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item out (it is not freed).
  void Remove(TMenuItem* item);
  // Frees the item at index.
  void Delete(int index);
  // Frees every sub-item.
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  // The item (this one or below) with the command identifier, or null.
  TMenuItem* Find(UINT command);
  // Runs OnClick.
  virtual void Click();

  // Fills menu with the sub-items (recursively) as they are now.
  void BuildMenu(HMENU menu) const;
  // The menu whose tree holds the item, or null.
  class TMenu* GetParentMenu() const;

  // Streaming: sub-items are written nested in their item.
  void GetChildren(std::vector<TComponent*>& children, const TComponent& root) const override;
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  bool HasParent() const override;

 private:
  friend class TMenu;
  // Tells the menu holding the item that what it shows changed.
  void Changed();

  std::string FCaption;
  bool FChecked = false;
  bool FDefault = false;
  bool FEnabled = true;
  bool FVisible = true;
  std::string FHint;
  UINT FCommand;
  TMenuItem* FParent = nullptr;
  class TMenu* FMenu = nullptr;  // set on the root item of a menu
  std::vector<TMenuItem*> FItems;
  TNotifyEvent FOnClick;
};

// What popup and main menus share: the root item (owned by the menu) and the item lookup.
class TMenu : public TComponent {
  KYT_CLASS(TMenu, TComponent)
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // Properties
  TMenuItem* Items() const { return FItems; }

  // Methods
  // The item with the command identifier, or null.
  TMenuItem* FindItem(UINT command) const;
  // An item of the tree changed, was added or removed.
  virtual void MenuChanged() {}

  void GetChildren(std::vector<TComponent*>& children, const TComponent& root) const override;

 private:
  TMenuItem* FItems;
};

enum TPopupAlignment : uint8_t { paLeft, paRight, paCenter };
KYT_ENUM_INFO(TPopupAlignment, "paLeft", "paRight", "paCenter")

// A popup (context) menu.
class TPopupMenu : public TMenu {
  KYT_CLASS(TPopupMenu, TMenu)
 public:
  static void Publish(TPublisher<TPopupMenu>& p) {
    p.Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
    p.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
    p.Property("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::SetOnPopup);
  }

  explicit TPopupMenu(TComponent* owner);

  // Properties
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment value) { FAlignment = value; }
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool value) { FAutoPopup = value; }
  // The platform menu as last built by Popup (null before the first Popup); owned by the menu.
  HMENU Handle() const { return FHandle.get(); }
  // The item chosen in the last Popup, or null when it was dismissed.
  TMenuItem* LastChosen() const { return FLastChosen; }

  // Events
  // Runs before the menu is shown.
  const TNotifyEvent& OnPopup() const { return FOnPopup; }
  void SetOnPopup(const TNotifyEvent& value) { FOnPopup = value; }

  // Methods
  // Shows the menu at screen position x, y and returns when it closes; then runs the OnClick
  // of the item chosen, if any.
  virtual void Popup(int x, int y);
  // The window that owns the menu while it is shown.
  HWND WindowHandle() const;

 private:
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  os::UniqueHMenu FHandle;
  TMenuItem* FLastChosen = nullptr;
  TNotifyEvent FOnPopup;
};

// The menu bar of a form (TCustomForm::SetMenu). Its platform menu is made for the form's window
// and made again whenever an item changes, so the bar always shows the items as they are.
class TMainMenu : public TMenu {
  KYT_CLASS(TMainMenu, TMenu)
 public:
  explicit TMainMenu(TComponent* owner);
  ~TMainMenu() override;

  // Properties
  // The menu bar built for the window, or null while no form shows the menu; owned by the menu.
  HMENU Handle() const { return FHandle.get(); }
  // The window whose menu bar this is, or null.
  HWND WindowHandle() const { return FWindow; }

  // Methods
  // Makes the menu the bar of window (null: of no window); the form calls it.
  void SetWindowHandle(HWND window);
  void MenuChanged() override;

 private:
  void Rebuild();

  HWND FWindow = nullptr;
  os::UniqueHMenu FHandle;
};

}  // namespace kyt

#endif  // KYT_HOST_VCL_MENUS_H
