// Tests of popup and main menus: the item tree, the platform menu Popup shows and the item it
// runs, and a form's menu bar kept in step with its items.
#include "host/vcl/Menus.h"

#include <gtest/gtest.h>

#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {
namespace {

struct MenuClicks {
  std::vector<std::string> Log;
  void Click(TObject* sender) { Log.push_back(static_cast<TMenuItem*>(sender)->Caption()); }
};

TEST(MenuItem, ItemsFormATreeAndLeaveItWhenFreed) {
  TComponent owner(nullptr);
  TPopupMenu* menu = new TPopupMenu(&owner);
  auto* a = new TMenuItem(&owner);
  auto* b = new TMenuItem(&owner);
  auto* sub = new TMenuItem(&owner);
  menu->Items()->Add(a);
  menu->Items()->Insert(0, b);
  a->Add(sub);
  ASSERT_EQ(menu->Items()->Count(), 2);
  EXPECT_EQ(menu->Items()->Items(0), b);
  EXPECT_EQ(a->MenuIndex(), 1);
  EXPECT_EQ(sub->Parent(), a);
  EXPECT_THROW(menu->Items()->Add(a), EListError);  // already in a menu
  EXPECT_THROW(sub->Add(a), EListError);            // would contain itself
  EXPECT_EQ(menu->FindItem(sub->Command()), sub);
  EXPECT_NE(a->Command(), b->Command());
  delete b;
  EXPECT_EQ(menu->Items()->Count(), 1);
  const int owned = owner.ComponentCount();
  a->Clear();  // frees the sub-item
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(owner.ComponentCount(), owned - 1);
}

// Presses keys inside the menu's own modal loop from a thread timer.
struct MenuDriver {
  static inline std::vector<WPARAM> Keys;
  static inline HWND Target = nullptr;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (Keys.empty()) {
      ::EndMenu();
      return;
    }
    for (WPARAM k : Keys) {
      ::PostMessageA(Target, WM_KEYDOWN, k, 0);
      ::PostMessageA(Target, WM_KEYUP, k, 0xC0000000);
    }
  }
};

TEST(PopupMenu, PopupShowsTheItemsAndRunsTheChosenOne) {
  TComponent owner(nullptr);
  auto* menu = new TPopupMenu(&owner);
  MenuClicks clicks;
  struct Popped {
    int Count = 0;
    void Popup(TObject*) { ++Count; }
  } popped;
  menu->SetOnPopup(TNotifyEvent::Bind<&Popped::Popup>(&popped));
  const char* captions[] = {"&First", "-", "&Second"};
  for (const char* c : captions) {
    auto* item = new TMenuItem(&owner);
    item->SetCaption(c);
    item->SetOnClick(TNotifyEvent::Bind<&MenuClicks::Click>(&clicks));
    menu->Items()->Add(item);
  }
  menu->Items()->Items(0)->SetChecked(true);
  menu->Items()->Items(2)->SetEnabled(true);

  // Dismissed: nothing runs.
  MenuDriver::Keys.clear();
  MenuDriver::Target = menu->WindowHandle();
  ::SetTimer(nullptr, 0, 100, &MenuDriver::Tick);
  menu->Popup(100, 100);
  EXPECT_EQ(popped.Count, 1);
  EXPECT_EQ(menu->LastChosen(), nullptr);
  EXPECT_TRUE(clicks.Log.empty());
  // The platform menu held the three entries with their states.
  HMENU built = menu->Handle();
  ASSERT_TRUE(built);
  EXPECT_EQ(::GetMenuItemCount(built), 3);
  char text[64] = {};
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
  info.dwTypeData = text;
  info.cch = sizeof(text);
  ::GetMenuItemInfoA(built, 0, TRUE, &info);
  EXPECT_STREQ(text, "&First");
  EXPECT_TRUE(info.fState & MFS_CHECKED);
  info.fMask = MIIM_FTYPE;
  ::GetMenuItemInfoA(built, 1, TRUE, &info);
  EXPECT_TRUE(info.fType & MFT_SEPARATOR);

  // Down, down (the separator is skipped), Enter: the second item runs after the menu closed.
  MenuDriver::Keys = {VK_DOWN, VK_DOWN, VK_RETURN};
  ::SetTimer(nullptr, 0, 100, &MenuDriver::Tick);
  menu->Popup(100, 100);
  if (!menu->LastChosen()) GTEST_SKIP() << "the menu loop did not take the posted keys";
  EXPECT_EQ(menu->LastChosen(), menu->Items()->Items(2));
  EXPECT_EQ(clicks.Log, std::vector<std::string>{"&Second"});
}

TEST(PopupMenu, FreeingTheMenuFreesItsItems) {
  TComponent owner(nullptr);
  auto* menu = new TPopupMenu(&owner);
  auto* item = new TMenuItem(&owner);
  menu->Items()->Add(item);
  auto* sub = new TMenuItem(&owner);
  item->Add(sub);
  EXPECT_EQ(owner.ComponentCount(), 3);
  delete menu;
  EXPECT_EQ(owner.ComponentCount(), 0);
}

std::string MenuText(HMENU menu, UINT position) {
  char text[64] = {};
  ::GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

// The bar shows the items as they are after every change, survives a new window, runs the item
// a menu command names, and leaves the window when the menu is freed.
TEST(MainMenu, TheFormsMenuBarFollowsItsItems) {
  TForm form(nullptr);
  auto* menu = new TMainMenu(&form);
  auto* file = new TMenuItem(&form);
  file->SetCaption("&File");
  menu->Items()->Add(file);
  auto* open = new TMenuItem(&form);
  open->SetCaption("&Open");
  file->Add(open);
  MenuClicks clicks;
  open->SetOnClick(TNotifyEvent::Bind<&MenuClicks::Click>(&clicks));
  form.SetMenu(menu);
  form.Show();
  HMENU bar = ::GetMenu(form.Handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar, menu->Handle());
  EXPECT_EQ(MenuText(bar, 0), "&File");
  EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(bar, 0)), 1);

  struct Step {
    void (*Change)(TMainMenu&, TMenuItem& file);
    const char* First;
    int Count;
  };
  const Step steps[] = {
      {[](TMainMenu&, TMenuItem& f) { f.SetCaption("&Datei"); }, "&Datei", 1},
      {[](TMainMenu& m, TMenuItem&) {
         auto* help = new TMenuItem(m.Owner());
         help->SetCaption("&Help");
         m.Items()->Add(help);
       }, "&Datei", 2},
      {[](TMainMenu&, TMenuItem& f) { f.SetVisible(false); }, "&Help", 1},
  };
  for (const Step& s : steps) {
    s.Change(*menu, *file);
    bar = ::GetMenu(form.Handle());
    EXPECT_EQ(MenuText(bar, 0), s.First);
    EXPECT_EQ(::GetMenuItemCount(bar), s.Count);
  }
  file->SetVisible(true);
  form.RecreateWnd();
  ASSERT_NE(::GetMenu(form.Handle()), nullptr);
  ::PostMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(open->Command(), 0), 0);
  EXPECT_TRUE(vcltest::PumpApp([&] { return !clicks.Log.empty(); }));
  EXPECT_EQ(clicks.Log, std::vector<std::string>{"&Open"});
  delete menu;
  EXPECT_EQ(form.Menu(), nullptr);
  EXPECT_EQ(::GetMenu(form.Handle()), nullptr);
}

}  // namespace
}  // namespace kyt
