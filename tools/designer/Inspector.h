// Inspector: the object inspector. At the top a combo box naming the selected component and its
// class (it selects any component of the form); below, the Properties and Events tabs, one row
// per entry with its value. Sub-objects and sets open and close with + and -; a value is edited
// in place (typed text, or a list of values for enumerations, Booleans, colours, component
// references and handlers), with an ellipsis button for the editors that have a dialog. Enter
// or a click elsewhere commits, Esc cancels; a value the setter refuses shows its message and
// the old value stays. Read-only rows are greyed and refuse typing. A double click on an event
// names its handler after the component and the event.
#ifndef KYT_TOOLS_DESIGNER_INSPECTOR_H
#define KYT_TOOLS_DESIGNER_INSPECTOR_H

#include <set>
#include <string>
#include <vector>

#include "host/vcl/ComCtrls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/StdCtrls.h"
#include "tools/designer/DesignerContext.h"

namespace kyt {

inline constexpr int32_t kInspectorRowHeight = 18;

class TInspectorGrid;

// One row the inspector shows.
struct TInspectorRow {
  std::string Path;   // the entry's dotted path
  std::string Name;   // the last part of the path
  std::string Value;
  int Depth = 0;
  bool ReadOnly = false;
  bool Expandable = false;
  bool ValueList = false;
  bool Dialog = false;
};

class TObjectInspector : public TForm, public TDesignerView {
 public:
  TObjectInspector(TComponent* owner, TDesignerContext& context);
  ~TObjectInspector() override;

  void DesignerNews(TDesignerNews news) override;

  // What the rows show now (the open tab, sub-entries of closed rows left out).
  const std::vector<TInspectorRow>& Rows() const { return FRows; }
  bool EventsShown() const;
  void ShowEvents(bool events);
  // Opens or closes a row's sub-entries.
  void Toggle(const std::string& path);
  // Starts editing a row in place; the row being edited now (empty for none).
  void BeginEdit(const std::string& path);
  const std::string& Editing() const { return FEditing; }
  // Ends the edit: true commits the typed text (a refused value shows its message), false drops it.
  void EndEdit(bool commit);
  // The ellipsis button's work: the row's dialog.
  void RunDialog(const std::string& path);
  // A double click on a row: an event gets its handler named; another row with a value list
  // takes the next value.
  void RowDoubleClicked(const std::string& path);

  TComboBox* ComponentList() const { return FComponents; }
  TTabControl* Tabs() const { return FTabs; }
  TInspectorGrid* Grid() const { return FGrid; }
  TWinControl* Editor() const;

 private:
  friend class TInspectorGrid;
  void Reload();           // rows and the component list from the model
  void ReloadValues();     // only the values, the row being edited kept as typed
  void ComponentChosen(TObject* sender);
  void TabChanged(TObject* sender);
  void EditKey(TObject* sender, uint16_t& key, TShiftState shift);
  void EllipsisClick(TObject* sender);
  void PlaceEditor();
  std::vector<TInspectorLine> Lines() const;
  std::vector<std::string> ValuesOf(const std::string& path) const;
  void Commit(const std::string& path, const std::string& text);

  TDesignerContext& FContext;
  TComboBox* FComponents = nullptr;
  TTabControl* FTabs = nullptr;
  TInspectorGrid* FGrid = nullptr;
  TEdit* FEdit = nullptr;
  TComboBox* FList = nullptr;
  TButton* FEllipsis = nullptr;
  std::vector<TInspectorRow> FRows;
  std::set<std::string> FOpen;
  std::string FEditing;
  bool FReloading = false;
};

// The rows as a painted grid: names on the left, values on the right.
class TInspectorGrid : public TWinControl {
 public:
  TInspectorGrid(TComponent* owner, TObjectInspector& inspector);
  // The row at a client y; -1 below the last.
  int RowAt(int32_t y) const;
  int32_t NameWidth() const { return FNameWidth; }

 protected:
  void Paint(HDC dc) override;
  void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void CreateParams(TCreateParams& params) override;

 private:
  TObjectInspector& FInspector;
  int32_t FNameWidth = 110;
};

}  // namespace kyt

#endif  // KYT_TOOLS_DESIGNER_INSPECTOR_H
