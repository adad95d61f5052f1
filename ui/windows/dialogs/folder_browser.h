// CFolderBrowser: the program's own modal dialog for choosing a folder: a
// sizable captioned window with a tree of the shell's roots, the drives
// and their folders, and "OK" and "Cancel". The caller builds it on its
// stack, calls Show and, when the answer is kAccepted, reads GetPath. The
// tree is filled lazily, one level when an item is first expanded (reading
// one level further to know which folders show an expander); an initial
// path is walked and selected when the dialog opens.
//
// The answer stays "cancelled" unless OK builds a path, so closing the
// window from its caption cancels. Header-only so that it is built with
// the windows that open it (it stands on the tree of ui/views). Windows
// only.
#pragma once
#include <tuple>

#include "render/canvas.h"
#include "render/image_strip.h"
#include "runtime/array.h"
#include "runtime/platform.h"
#include "runtime/ui_strings.h"
#include "ui/views/tree_view.h"
#include "ui/widgets/button.h"
#include "ui/windows/frame/frame_window.h"
#include "ui/windows/dialogs/modal_runner.h"
#include "ui/windows/theme/theme_metrics.h"

class CFolderBrowser : public CFrameWindow<CFolderBrowser> {
 public:
  static constexpr u32 kStyle = 0x6614;  // close button, sizable, caption, frame border
  static constexpr i32 kMinTrackWidth = 339, kMinTrackHeight = 419;
  static constexpr i32 kWidth = 320, kHeight = 400;
  enum : i32 { kAccepted = 0, kCancelled = 1 };
  static constexpr u32 kCaretSlot = kCaretSlotFolderBrowser;

  // In Tab and routing order. The tree carries the program's label editor
  // but never shows it: this window begins no label edit.
  CTreeView<CFolderBrowser, CTreeLabelEdit> tree;
  CButton<CFolderBrowser> ok;
  CButton<CFolderBrowser> cancel;

  auto Children() { return std::tie(tree, ok, cancel); }

  // Runs the dialog centred in the work area with the title of a UI
  // string and, when given, the folder to select first.
  i32 Show(u32 titleId, const wchar16* initialPath) {
    title.Assign(GetUiString(titleId)->text);
    if (initialPath) path_.Assign(initialPath);
    const Rect size = {0, 0, kWidth, kHeight};
    RunModalWindow(*this, [&] { return PlaceAndCreate(&size, nullptr); });
    return result_;
  }
  // The chosen folder after an accepted run.
  const wchar16* GetPath() const { return path_.c_str(); }
  const wchar16* GetTitle() const { return title.c_str(); }

  void CreateControls() {
    ok.textId = 0;
    ok.style |= kButtonDefault;
    ok.click = BindCallback<CFolderBrowser, &CFolderBrowser::OnOk>(this, this);
    cancel.textId = 1;
    cancel.click = BindCallback<CFolderBrowser, &CFolderBrowser::OnCancel>(this, this);
    const Rect button = {0, 0, kButtonWidth, kButtonHeight};
    ok.Create(kButtonFlags, &button, this);
    ok.Enable(false);  // until a folder is selected
    cancel.Create(kButtonFlags, &button, this);
    tree.Create(kTreeFlags, nullptr, this);
    const Rect content = GetContentRect();
    LayoutContent(content.right, content.bottom);
    // The keyboard starts in the tree, so the arrows move its selection at
    // once. It takes the focus before it has rows: its focus step then
    // selects nothing, and with no folder walked to the dialog opens with
    // nothing chosen (Enter accepts nothing) until an arrow picks the first
    // row. Walking to an initial folder selects that folder.
    tree.SetFocus();
    BuildRoots();
  }

  // Buttons in the lower right corner, the tree above them, each a dialog
  // margin from the edges.
  void LayoutContent(i32 width, i32 height) {
    const i32 m = ThemeDialogMargin();
    ok.SetBounds(width - m - 2 * kButtonWidth - kButtonGap, m, kButtonWidth, kButtonHeight);
    cancel.SetBounds(width - m - kButtonWidth, m, kButtonWidth, kButtonHeight);
    const i32 bottom = m + kButtonHeight + kTreeGap;
    tree.SetBounds(m + 2, bottom, width - 2 * (m + 2), height - bottom - (m + 2));
  }

  // A white field with a rounded border around the tree.
  void PaintDecoration(CCanvas& canvas) {
    const Rect content = GetContentRect();
    const i32 m = ThemeDialogMargin();
    const double x0 = m, y0 = m + kButtonHeight + kTreeGap - 2, x1 = content.right - m, y1 = content.bottom - m;
    canvas.FillRoundRect(x0, y0, x1, y1, 3.0, 0xFFFFFFFFu);
    canvas.FrameRoundRect(x0, y0, x1, y1, 3.0, 1.0, ThemeAccentColor());
  }

  // Enter fires OK while it is enabled, Escape cancels.
  bool OnDialogKey(u32 key) {
    if (key == 13) return ok.ActivateDefault();
    if (key != 27) return false;
    OnCancel();
    return true;
  }

  void OnOk() {
    CWideString chosen;
    if ((ok.flags & kFlagDisabled) || !BuildPath(tree.selected, &chosen)) return;
    path_.Assign(chosen);
    Close(kAccepted);
  }
  void OnCancel() { Close(kCancelled); }

  // ---- The tree (folder_browser_tree.h) ----
  void BuildRoots();
  // The tree's expand notification: lists an item's children once.
  void OnExpandItem(TreeItemHandle h);
  // The tree's selection notification: OK is enabled for items that name
  // a folder.
  void OnSelectionChanged(TreeItemHandle h);
  // The folder an item stands for: Desktop and My Documents their shell
  // folders, a drive "X:", a folder its parent's path, "\" and its name.
  // False for the computer, the network and items that do not resolve.
  bool BuildPath(const TreeItemHandle& h, CWideString* out);
  void SelectInitialPath();

  TreeItemHandle desktop = kNullItem;
  TreeItemHandle documents = kNullItem;
  TreeItemHandle computer = kNullItem;
  TreeItemHandle network = kNullItem;

 private:
  static constexpr i32 kButtonWidth = 100, kButtonHeight = 25, kButtonGap = 8, kTreeGap = 10;
  static constexpr u32 kTreeFlags = 0x2000E;  // framed, visible, see-through, Tab stop

  void Close(i32 result) {
    result_ = result;
    PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
  }
  TreeItemHandle AddItem(const TreeItemHandle& parent, const wchar16* text, i32 icon, u32 user, bool expandable);
  i32 ShellIcon(const wchar16* path, i32 folderKind);
  void FillDrives();
  void FillFolder(const TreeItemHandle& h, const CWideString& folder);
  TreeItemHandle FindChildByName(const TreeItemHandle& parent, const wchar16* name, i32 n);
  void SelectPathFrom(TreeItemHandle item, const CWideString& path, i32 at);

  i32 result_ = kCancelled;
  CArray<i32> iconCache_{16};
  CImageStrip icons_;
  CWideString path_;
};

#include "ui/windows/dialogs/folder_browser_tree.h"
