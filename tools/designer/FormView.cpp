// FormView: input on the designed form turned into the model's commands, and the overlay of
// icons and handles.
#include "tools/designer/FormView.h"

#include <algorithm>
#include <cstdlib>

#include "host/os/OsSeam.h"
#include "host/vcl/Forms.h"
#include "host/vcl/Menus.h"

namespace kyt {

namespace {

constexpr const char* kOverlayClass = "KYTDesignerOverlay";

void RegisterOverlayClass(WNDPROC proc) {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = kOverlayClass;
  registered = ::RegisterClassA(&wc) != 0;
}

RECT Normalised(POINT a, POINT b) {
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

bool Overlaps(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The handle rectangles of a control rectangle: corners and edge middles, clockwise from the top left.
std::vector<RECT> HandleRects(const RECT& r) {
  const int32_t xs[3] = {r.left - kHandleSize / 2, (r.left + r.right) / 2 - kHandleSize / 2, r.right - kHandleSize / 2};
  const int32_t ys[3] = {r.top - kHandleSize / 2, (r.top + r.bottom) / 2 - kHandleSize / 2, r.bottom - kHandleSize / 2};
  const int order[8][2] = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}};
  std::vector<RECT> out;
  for (const auto& o : order) out.push_back(RECT{xs[o[0]], ys[o[1]], xs[o[0]] + kHandleSize, ys[o[1]] + kHandleSize});
  return out;
}

}  // namespace

int32_t SnapToGrid(int32_t value) {
  const int32_t down = value >= 0 ? value / kDesignGrid * kDesignGrid : -((-value + kDesignGrid - 1) / kDesignGrid * kDesignGrid);
  return value - down >= kDesignGrid / 2 ? down + kDesignGrid : down;
}

TFormView::TFormView(TDesignerContext& context) : FContext(context) {
  RegisterOverlayClass(&TFormView::OverlayProc);
  FContext.Subscribe(this);
  Attach();
}

TFormView::~TFormView() {
  FContext.Unsubscribe(this);
  Detach();
  for (auto& [name, bitmap] : FBitmaps)
    if (bitmap) ::DeleteObject(bitmap);
}

HWND TFormView::FormWindow() const { return FForm ? FForm->Handle() : nullptr; }

void TFormView::DesignerNews(TDesignerNews news) {
  if (news == TDesignerNews::Palette) return;
  if (FContext.Current() != FSession || (FSession && &FSession->Form() != FForm)) {
    // Another form, or the same session's form rebuilt (undo, redo, paste): the old window is gone.
    Detach();
    Attach();
    return;
  }
  RebuildOverlay();
}

void TFormView::Attach() {
  FSession = FContext.Current();
  if (!FSession) return;
  FForm = &FSession->Form();
  FForm->SetDesigner(this);
  FForm->Show();
  RebuildOverlay();
}

void TFormView::Detach() {
  EndFeedback();
  FDrag = TDrag::None;
  ClearOverlay();
  // A form the model freed (undo rebuilds it) took its windows with it; one still open keeps
  // no hook of a view that is gone.
  for (const auto& s : FContext.Model().Sessions())
    if (s.get() == FSession && &s->Form() == FForm) FForm->SetDesigner(nullptr);
  FSession = nullptr;
  FForm = nullptr;
}

void TFormView::ClearOverlay() {
  for (const auto& [window, overlay] : FOverlay) ::DestroyWindow(window);
  FOverlay.clear();
  FHandles.clear();
}

void TFormView::RebuildOverlay() {
  ClearOverlay();
  if (!FForm) return;
  HWND form = FForm->Handle();
  auto add = [&](const RECT& r, TOverlay overlay) {
    HWND w = ::CreateWindowExA(0, kOverlayClass, "", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, form, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!w) return;
    os::user32.SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FOverlay[w] = std::move(overlay);
    if (FOverlay[w].Handle >= 0) FHandles.push_back(w);
  };
  for (int i = 0; i < FForm->ComponentCount(); ++i) {
    TComponent* c = FForm->Components(i);
    if (dynamic_cast<TControl*>(c)) continue;
    if (c->HasParent()) continue;  // a menu item lives inside its menu
    add(ComponentRect(c), TOverlay{c->Name(), -1});
  }
  for (TComponent* c : FSession->Selection()) {
    if (c == FForm) continue;
    const std::vector<RECT> rects = HandleRects(ComponentRect(c));
    const bool control = dynamic_cast<TControl*>(c) != nullptr;
    for (int h = 0; h < 8; ++h)
      if (control || h % 2 == 0) add(rects[static_cast<size_t>(h)], TOverlay{c->Name(), h});
  }
}

RECT TFormView::ComponentRect(TComponent* component) const {
  if (!FForm || !component || component == FForm) return RECT{};
  if (auto* control = dynamic_cast<TWinControl*>(component)) {
    RECT r{};
    ::GetWindowRect(control->Handle(), &r);
    ::MapWindowPoints(nullptr, FForm->Handle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  TComponent::TDesignPosition at = component->DesignPosition();
  if (!component->HasDesignPosition()) {
    // A component the file gives no place shows in a row at the top left, in the form's order,
    // until it is moved; its place is stored only then.
    int k = 0;
    for (int i = 0; i < FForm->ComponentCount() && FForm->Components(i) != component; ++i) {
      TComponent* c = FForm->Components(i);
      if (!dynamic_cast<TControl*>(c) && !c->HasParent() && !c->HasDesignPosition()) ++k;
    }
    RECT client{};
    ::GetClientRect(FForm->Handle(), &client);
    const int perRow = std::max<int>(1, (client.right - 16) / (kIconSize + 4));
    at.Left = 8 + (k % perRow) * (kIconSize + 4);
    at.Top = 8 + (k / perRow) * (kIconSize + 4);
  }
  return RECT{at.Left, at.Top, at.Left + kIconSize, at.Top + kIconSize};
}

void TFormView::MoveSelectionBy(TComponent* lead, int32_t dx, int32_t dy) {
  const auto& selection = FSession->Selection();
  if (selection.size() == 1 && !dynamic_cast<TControl*>(lead)) {
    // A non-visual component's place is where its icon shows, stored or not.
    const RECT r = ComponentRect(lead);
    FContext.Try([&] { FSession->Move(lead, r.left + dx, r.top + dy); });
    return;
  }
  FContext.Try([&] { FSession->MoveSelection(dx, dy); });
}

HWND TFormView::IconOf(TComponent* component) const {
  for (const auto& [window, overlay] : FOverlay)
    if (overlay.Handle < 0 && component && overlay.Component == component->Name()) return window;
  return nullptr;
}

void TFormView::PaintOverlay(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(window, &ps);
  RECT r{};
  ::GetClientRect(window, &r);
  const auto it = FOverlay.find(window);
  if (it != FOverlay.end() && it->second.Handle >= 0) {
    const bool single = FSession && FSession->Selection().size() == 1;
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(single ? BLACK_BRUSH : GRAY_BRUSH)));
  } else if (it != FOverlay.end()) {
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    TComponent* c = FForm ? FForm->FindComponent(it->second.Component) : nullptr;
    if (c) {
      const std::string cls = c->ClassType().Name();
      auto found = FBitmaps.find(cls);
      if (found == FBitmaps.end())
        found = FBitmaps.emplace(cls, ::LoadBitmapA(::GetModuleHandleA(nullptr), PaletteBitmapName(cls).c_str())).first;
      if (found->second) {
        HDC memory = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(memory, found->second);
        ::BitBlt(dc, (r.right - 24) / 2, (r.bottom - 24) / 2, 24, 24, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
      }
    }
  }
  ::EndPaint(window, &ps);
}

LRESULT CALLBACK TFormView::OverlayProc(HWND window, UINT msg, WPARAM w, LPARAM l) {
  auto* view = reinterpret_cast<TFormView*>(os::user32.GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!view) return ::DefWindowProcA(window, msg, w, l);
  const auto it = view->FOverlay.find(window);
  switch (msg) {
    case WM_PAINT:
      view->PaintOverlay(window);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      if (it == view->FOverlay.end() || !view->FForm) break;
      const TOverlay overlay = it->second;
      TComponent* c = view->FForm->FindComponent(overlay.Component);
      const POINT at = view->ToForm(window, l);
      if (msg == WM_LBUTTONDOWN) {
        view->MouseDown(c, overlay.Handle, at, (w & MK_SHIFT) != 0, window);
      } else if (c) {
        if (std::find(view->FSession->Selection().begin(), view->FSession->Selection().end(), c) ==
            view->FSession->Selection().end())
          view->FContext.Select({c});
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      view->MouseMove(view->ToForm(window, l));
      return 0;
    case WM_LBUTTONUP:
      view->MouseUp(view->ToForm(window, l));
      return 0;
    case WM_RBUTTONUP: {
      POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
      ::ClientToScreen(window, &p);
      view->ShowVerbs(p);
      return 0;
    }
    case WM_KEYDOWN:
      if (view->KeyDown(w)) return 0;
      break;
    default:
      break;
  }
  return ::DefWindowProcA(window, msg, w, l);
}

POINT TFormView::ToForm(HWND from, LPARAM l) const {
  POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
  if (FForm) ::MapWindowPoints(from, FForm->Handle(), &p, 1);
  return p;
}

TComponent* TFormView::DesignedComponentOf(TControl* sender) const {
  // The component the form file has for the window under the mouse: the sender itself, or the
  // nearest parent the form owns.
  for (TControl* c = sender; c; c = c->Parent()) {
    if (c == FForm) return nullptr;
    if (c->Owner() == FForm) return c;
  }
  return nullptr;
}

bool TFormView::IsDesignMsg(TControl* sender, TMessage& msg) {
  if (!FForm || !FSession) return false;
  auto* window = dynamic_cast<TWinControl*>(sender);
  if (!window) return false;
  switch (msg.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      MouseDown(DesignedComponentOf(sender), -1, ToForm(window->Handle(), msg.LParam), (msg.WParam & MK_SHIFT) != 0,
                window->Handle());
      return true;
    case WM_MOUSEMOVE:
      MouseMove(ToForm(window->Handle(), msg.LParam));
      return true;
    case WM_LBUTTONUP:
      MouseUp(ToForm(window->Handle(), msg.LParam));
      return true;
    case WM_RBUTTONDOWN: {
      TComponent* c = DesignedComponentOf(sender);
      const auto& selection = FSession->Selection();
      if (std::find(selection.begin(), selection.end(), c ? c : FForm) == selection.end())
        FContext.Select({c ? c : FForm});
      return true;
    }
    case WM_RBUTTONUP: {
      POINT p{static_cast<short>(LOWORD(msg.LParam)), static_cast<short>(HIWORD(msg.LParam))};
      ::ClientToScreen(window->Handle(), &p);
      ShowVerbs(p);
      return true;
    }
    case WM_KEYDOWN:
      return KeyDown(msg.WParam);
    default:
      // Every other input of a designed control is the designer's: a designed edit takes no typing.
      return true;
  }
}

void TFormView::MouseDown(TComponent* hit, int handle, POINT at, bool shift, HWND capture) {
  FDown = at;
  FDrag = TDrag::None;
  if (!FContext.PendingClass().empty() && handle < 0) {
    const std::string cls = FContext.PendingClass();
    FContext.SetPendingClass({});
    FContext.Try([&] { FSession->Place(cls, SnapToGrid(at.x), SnapToGrid(at.y)); });
    return;
  }
  ::SetFocus(FForm->Handle());
  ::SetCapture(capture);
  if (handle >= 0 && hit && dynamic_cast<TControl*>(hit)) {
    FDrag = TDrag::Resize;
    FHandle = handle;
    FDragged = hit->Name();
    FDownRect = ComponentRect(hit);
    return;
  }
  if (!hit) {
    if (!shift) FContext.Select({FForm});
    FDrag = TDrag::Band;
    return;
  }
  std::vector<TComponent*> selection = FSession->Selection();
  const auto found = std::find(selection.begin(), selection.end(), hit);
  if (shift) {
    if (found != selection.end()) selection.erase(found);
    else selection.push_back(hit);
    selection.erase(std::remove(selection.begin(), selection.end(), FForm), selection.end());
    if (selection.empty()) selection.push_back(FForm);
    FContext.Select(selection);
    return;
  }
  if (found == selection.end()) FContext.Select({hit});
  FDrag = TDrag::Move;
  FDragged = hit->Name();
  FDownRect = ComponentRect(hit);
}

RECT TFormView::DragRect(POINT at) const {
  RECT r = FDownRect;
  const int32_t dx = at.x - FDown.x, dy = at.y - FDown.y;
  switch (FDrag) {
    case TDrag::Move: {
      const int32_t left = SnapToGrid(r.left + dx), top = SnapToGrid(r.top + dy);
      ::OffsetRect(&r, left - r.left, top - r.top);
      return r;
    }
    case TDrag::Resize: {
      const bool left = FHandle == 0 || FHandle == 6 || FHandle == 7;
      const bool right = FHandle >= 2 && FHandle <= 4;
      const bool top = FHandle <= 2;
      const bool bottom = FHandle >= 4 && FHandle <= 6;
      if (left) r.left = std::min<LONG>(SnapToGrid(r.left + dx), r.right - 1);
      if (right) r.right = std::max<LONG>(SnapToGrid(r.right + dx), r.left + 1);
      if (top) r.top = std::min<LONG>(SnapToGrid(r.top + dy), r.bottom - 1);
      if (bottom) r.bottom = std::max<LONG>(SnapToGrid(r.bottom + dy), r.top + 1);
      return r;
    }
    case TDrag::Band:
      return Normalised(FDown, at);
    case TDrag::None:
      break;
  }
  return r;
}

void TFormView::MouseMove(POINT at) {
  if (FDrag == TDrag::None || !FForm) return;
  RECT r = DragRect(at);
  if (FDrag == TDrag::Move && r.left == FDownRect.left && r.top == FDownRect.top) {
    EndFeedback();
    return;
  }
  ::MapWindowPoints(FForm->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  DrawFeedback(r);
}

void TFormView::DrawFeedback(const RECT& r) {
  if (FFeedbackShown && ::EqualRect(&r, &FFeedback)) return;
  EndFeedback();
  HDC dc = ::GetDC(nullptr);
  ::DrawFocusRect(dc, &r);
  ::ReleaseDC(nullptr, dc);
  FFeedback = r;
  FFeedbackShown = true;
}

void TFormView::EndFeedback() {
  if (!FFeedbackShown) return;
  HDC dc = ::GetDC(nullptr);
  ::DrawFocusRect(dc, &FFeedback);
  ::ReleaseDC(nullptr, dc);
  FFeedbackShown = false;
}

void TFormView::MouseUp(POINT at) {
  const TDrag drag = FDrag;
  const RECT r = DragRect(at);
  FDrag = TDrag::None;
  EndFeedback();
  ::ReleaseCapture();
  if (drag == TDrag::None || !FSession) return;
  switch (drag) {
    case TDrag::Move:
      if (TComponent* lead = FForm->FindComponent(FDragged))
        MoveSelectionBy(lead, r.left - FDownRect.left, r.top - FDownRect.top);
      break;
    case TDrag::Resize:
      if (EqualRect(&r, &FDownRect)) break;
      FContext.Try([&] {
        TComponent* c = FSession->Find(FDragged);
        auto* control = dynamic_cast<TControl*>(c);
        // The rectangle is the form's client coordinates; the control's bounds are its parent's.
        const int32_t dl = r.left - FDownRect.left, dt = r.top - FDownRect.top;
        FSession->SetBounds(c, control->Left() + dl, control->Top() + dt, r.right - r.left, r.bottom - r.top);
      });
      break;
    case TDrag::Band: {
      std::vector<TComponent*> hit;
      for (int i = 0; i < FForm->ComponentCount(); ++i) {
        TComponent* c = FForm->Components(i);
        if (c->HasParent() && !dynamic_cast<TControl*>(c)) continue;
        if (Overlaps(ComponentRect(c), r)) hit.push_back(c);
      }
      if (!hit.empty()) FContext.Select(hit);
      break;
    }
    case TDrag::None:
      break;
  }
}

bool TFormView::KeyDown(WPARAM key) {
  if (!FSession) return false;
  const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  switch (key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: {
      std::vector<TComponent*> selection = FSession->Selection();
      selection.erase(std::remove(selection.begin(), selection.end(), FForm), selection.end());
      if (selection.empty()) return true;
      const RECT r = ComponentRect(selection.front());
      const int32_t dirX = key == VK_LEFT ? -1 : key == VK_RIGHT ? 1 : 0;
      const int32_t dirY = key == VK_UP ? -1 : key == VK_DOWN ? 1 : 0;
      if (shift) {
        // Shift+arrow sizes a single control by a grid step (Ctrl: a pixel).
        auto* control = dynamic_cast<TControl*>(selection.front());
        if (!control || selection.size() != 1) return true;
        const int32_t step = ctrl ? 1 : kDesignGrid;
        FContext.Try([&] {
          FSession->SetBounds(control, control->Left(), control->Top(), control->Width() + dirX * step,
                              control->Height() + dirY * step);
        });
        return true;
      }
      // To the next grid line in that direction (Ctrl: one pixel).
      auto next = [&](int32_t v, int32_t dir) {
        if (ctrl || !dir) return v + dir;
        const int32_t snapped = SnapToGrid(v);
        if (dir > 0) return snapped > v ? snapped : snapped + kDesignGrid;
        return snapped < v ? snapped : snapped - kDesignGrid;
      };
      MoveSelectionBy(selection.front(), next(r.left, dirX) - r.left, next(r.top, dirY) - r.top);
      return true;
    }
    case VK_DELETE:
      FContext.Try([&] { FSession->DeleteSelection(); });
      return true;
    case VK_ESCAPE:
      FContext.Select({FForm});
      return true;
    default:
      break;
  }
  if (!ctrl) return true;
  switch (key) {
    case 'Z': FContext.Try([&] { if (FSession->CanUndo()) FSession->Undo(); }); break;
    case 'Y': FContext.Try([&] { if (FSession->CanRedo()) FSession->Redo(); }); break;
    case 'A': FSession->SelectAll(); FContext.Tell(TDesignerNews::Selection); break;
    case 'C': FContext.Model().SetClipboard(FSession->CopySelection()); break;
    case 'X': FContext.Try([&] { FContext.Model().SetClipboard(FSession->CutSelection()); }); break;
    case 'V': FContext.Try([&] { FSession->Paste(FContext.Model().Clipboard()); }); break;
    default: break;
  }
  return true;
}

void TFormView::ShowVerbs(POINT screen) {
  if (!FSession) return;
  const std::vector<TDesignVerb> verbs = FSession->Verbs();
  TPopupMenu menu(nullptr);
  for (size_t i = 0; i < verbs.size(); ++i) {
    auto* item = new TMenuItem(&menu);
    item->SetCaption(verbs[i].Caption);
    item->SetTag(static_cast<int32_t>(i));
    menu.Items()->Add(item);
  }
  menu.Popup(screen.x, screen.y);
  TMenuItem* chosen = menu.LastChosen();
  if (!chosen) return;
  const TDesignVerb verb = verbs[static_cast<size_t>(chosen->Tag())];
  TDesignSession* session = FSession;
  FContext.Try([&] {
    if (!verb.Entry.empty()) session->RunVerb(verb.Caption);
    else if (verb.Caption == "Delete") session->DeleteSelection();
    else if (verb.Caption == "Copy") FContext.Model().SetClipboard(session->CopySelection());
    else if (verb.Caption == "Cut") FContext.Model().SetClipboard(session->CutSelection());
    else if (verb.Caption == "Paste") session->Paste(FContext.Model().Clipboard());
  });
}

}  // namespace kyt
