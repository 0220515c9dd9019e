// DesignerWindow: the designer's main window: the menu (File, Edit, Component) and the palette,
// one tab per page ("Standard", then the packages' pages in registration order), one flat button
// per class with its 24x24 bitmap and the class name as its hint, after the arrow that takes
// the choice back. Closing it, or a form with changes, asks whether to save.
#ifndef KYT_TOOLS_DESIGNER_DESIGNERWINDOW_H
#define KYT_TOOLS_DESIGNER_DESIGNERWINDOW_H

#include <string>
#include <vector>

#include "host/vcl/Buttons.h"
#include "host/vcl/ComCtrls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/Menus.h"
#include "tools/designer/DesignerContext.h"

namespace kyt {

inline constexpr int32_t kPaletteButton = 28;

class TDesignerWindow : public TForm, public TDesignerView {
 public:
  TDesignerWindow(TComponent* owner, TDesignerContext& context);
  ~TDesignerWindow() override;

  void DesignerNews(TDesignerNews news) override;

  // The palette's pages in the order of their tabs, and the buttons of the page shown.
  std::vector<std::string> Pages() const;
  void ShowPage(const std::string& page);
  const std::vector<TSpeedButton*>& Buttons() const { return FButtons; }
  TTabControl* PageTabs() const { return FTabs; }
  TMainMenu* MainMenu() const { return FMenu; }
  // A menu item by its caption path ("File|Save"); null when there is none.
  TMenuItem* MenuItem(const std::string& path) const;

  // File commands; each asks before dropping changes and reports what fails.
  void NewForm();
  void OpenForm(const std::string& path);
  bool SaveForm();                         // false when cancelled or failed
  bool SaveFormAs(const std::string& path);
  // Closes the current form, asking first when it has changes; false when the person cancelled.
  bool CloseForm();
  // Asks about every form with changes; false when the person cancelled.
  bool CloseAll();

  // Where a new form is placed: below the palette, left of the inspector.
  static constexpr int32_t kFormLeft = 120;
  static constexpr int32_t kFormTop = 122;

 protected:
  bool CloseQuery() override;

 private:
  void BuildMenu();
  TMenuItem* AddItem(TMenuItem* parent, const std::string& caption, TNotifyEvent onClick);
  void BuildPage();
  void RebuildVerbs();
  void UpdateCaption();
  // Asks whether to save a form with changes: true to go on (saved or not), false to stop.
  bool AskToSave(TDesignSession& session);

  void PageChanged(TObject* sender);
  void PaletteClick(TObject* sender);
  void ArrowClick(TObject* sender);
  void FileNew(TObject*);
  void FileOpen(TObject*);
  void FileSave(TObject*);
  void FileSaveAs(TObject*);
  void FileClose(TObject*);
  void FileExit(TObject*);
  void EditUndo(TObject*);
  void EditRedo(TObject*);
  void EditCut(TObject*);
  void EditCopy(TObject*);
  void EditPaste(TObject*);
  void EditDelete(TObject*);
  void EditSelectAll(TObject*);
  void VerbClick(TObject* sender);

  TDesignerContext& FContext;
  TMainMenu* FMenu = nullptr;
  TMenuItem* FComponentMenu = nullptr;
  TTabControl* FTabs = nullptr;
  TSpeedButton* FArrow = nullptr;
  std::vector<TSpeedButton*> FButtons;
  std::vector<TDesignVerb> FVerbs;
};

}  // namespace kyt

#endif  // KYT_TOOLS_DESIGNER_DESIGNERWINDOW_H
