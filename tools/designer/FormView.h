// FormView: the designed form as a person works on it. The current session's form is shown as a
// real top-level window in the designing state; the view sees its mouse and key messages first
// (it is the form's design hook) and turns them into the model's commands: placing the palette's
// class with a click, selecting with a click, Shift+click or a rubber band, moving by dragging or
// with the arrow keys on an 8-pixel grid, resizing a control by its handles, deleting, and the
// right-click menu of verbs. Non-visual components show as 28x28 icons with their palette bitmap;
// the icons and handles are windows of the view's own, never components of the form.
#ifndef KYT_TOOLS_DESIGNER_FORMVIEW_H
#define KYT_TOOLS_DESIGNER_FORMVIEW_H

#include <map>
#include <string>
#include <vector>

#include "host/os/Win.h"
#include "host/vcl/Controls.h"
#include "tools/designer/DesignerContext.h"

namespace kyt {

inline constexpr int32_t kDesignGrid = 8;
inline constexpr int32_t kIconSize = 28;
inline constexpr int32_t kHandleSize = 6;

// Where a position lands on the grid (the nearest grid line).
int32_t SnapToGrid(int32_t value);

class TFormView : public TDesignHook, public TDesignerView {
 public:
  explicit TFormView(TDesignerContext& context);
  ~TFormView() override;
  TFormView(const TFormView&) = delete;
  TFormView& operator=(const TFormView&) = delete;

  bool IsDesignMsg(TControl* sender, TMessage& msg) override;
  void DesignerNews(TDesignerNews news) override;

  // The designed form's window; null when no form is open.
  HWND FormWindow() const;
  // A component's rectangle in the form's client coordinates (a control's window, a non-visual
  // component's icon); empty for the form itself.
  RECT ComponentRect(TComponent* component) const;
  // The icon window of a non-visual component, and the handle windows now shown (tests click them).
  HWND IconOf(TComponent* component) const;
  std::vector<HWND> Handles() const { return FHandles; }

  // Shows the verbs of the selection at a screen point and runs the one chosen.
  void ShowVerbs(POINT screen);

 private:
  enum class TDrag { None, Move, Resize, Band };
  struct TOverlay {
    std::string Component;  // the component an icon stands for
    int Handle = -1;        // 0..7 for a handle (clockwise from the top left), -1 for an icon
  };

  static LRESULT CALLBACK OverlayProc(HWND window, UINT msg, WPARAM w, LPARAM l);
  void Attach();
  void Detach();
  void RebuildOverlay();
  void ClearOverlay();
  void PaintOverlay(HWND window);

  // Input, in the form's client coordinates; hit is the component under the point (null: the form).
  void MouseDown(TComponent* hit, int handle, POINT at, bool shift, HWND capture);
  void MouseMove(POINT at);
  void MouseUp(POINT at);
  bool KeyDown(WPARAM key);
  // Moves the selection with lead, the component the person moves, as one step.
  void MoveSelectionBy(TComponent* lead, int32_t dx, int32_t dy);
  TComponent* DesignedComponentOf(TControl* sender) const;
  POINT ToForm(HWND from, LPARAM l) const;
  RECT DragRect(POINT at) const;
  void DrawFeedback(const RECT& r);  // an outline on the screen, drawn again to take it away
  void EndFeedback();

  TDesignerContext& FContext;
  TDesignSession* FSession = nullptr;
  TForm* FForm = nullptr;
  std::map<HWND, TOverlay> FOverlay;
  std::vector<HWND> FHandles;
  std::map<std::string, HBITMAP> FBitmaps;
  TDrag FDrag = TDrag::None;
  POINT FDown{};
  RECT FDownRect{};  // the dragged component's rectangle (move, resize) when the button went down
  int FHandle = -1;
  std::string FDragged;
  bool FFeedbackShown = false;
  RECT FFeedback{};
};

}  // namespace kyt

#endif  // KYT_TOOLS_DESIGNER_FORMVIEW_H
