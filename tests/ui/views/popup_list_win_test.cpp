#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "render/text/font.h"
#include "ui/support/fake_owner.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/support/real_window.h"
#include "ui/views/drop_down_list.h"
#include "ui/views/popup_list.h"

namespace {

void NameOf(void*, i32 index, const wchar16** text, i32* length, i32* icon) {
  static const wchar16* names[] = {u"alpha", u"beta", u"gamma", u"delta", u"epsilon"};
  *text = names[index % 5];
  *length = static_cast<i32>(std::u16string(*text).size());
  *icon = -1;
}

// What runs inside the popup's modal loop, a moment after it opened.
std::function<void()> g_during;
void CALLBACK RunDuring(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_during) g_during();
}

void PostKeys(std::initializer_list<u32> keys) {
  for (u32 key : keys) PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, key, 0);
}

i32 RunPopup(CPopupList& popup, i32 current, i32 maxHeight, std::function<void()> during = {}) {
  g_during = std::move(during);
  if (g_during) SetTimer(nullptr, 0, 100, &RunDuring);
  return popup.Run(current, 300, 600, 160, maxHeight);
}

const DropDownItemSource kNames = {&NameOf, nullptr};

TEST(PopupList, ItsRowsAreTheDefaultFontsLinesWithRoomAround) {
  EXPECT_TRUE(PopupRowHeight(13.9) == 21 && PopupNaturalHeight(13.9, 5) == 113 && PopupNaturalHeight(13.9, 3) == 71);
  CFont* font = GetDefaultFont();
  ASSERT_TRUE(font);
  CPopupList popup(kNames, 5);
  EXPECT_EQ(PopupNaturalHeight(font->lineHeight, 5), popup.naturalHeight);
  font->Release();
}

// Keys posted before the run; the popup then loses the activation, after
// an Enter when asked (its answer stands).
TEST(PopupList, EndsWithEnterEscapeOrALostActivation) {
  const struct {
    std::initializer_list<u32> keys;
    bool deactivate, enterFirst;
    i32 current, result;
  } cases[] = {{{VK_DOWN, VK_DOWN, VK_RETURN}, false, false, 0, 2},
               {{VK_DOWN, VK_ESCAPE}, false, false, 1, -1},
               {{VK_UP, VK_UP, VK_DOWN, VK_RETURN}, false, false, 3, 2},  // both ways
               {{VK_DOWN, VK_DOWN, VK_RETURN}, false, false, 4, 4},       // at the last item
               {{VK_UP, VK_UP, VK_RETURN}, false, false, 0, 0},           // at the first
               {{VK_RETURN}, false, false, 3, 3},
               {{VK_DOWN}, true, false, 0, -1},
               {{}, true, true, 3, 3}};
  for (const auto& c : cases) {
    CPopupList popup(kNames, 5);
    PostKeys(c.keys);
    std::function<void()> during;
    if (c.deactivate)
      during = [&] {
        const HWND window = static_cast<HWND>(popup.Handle());
        if (c.enterFirst) SendMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
        SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
      };
    EXPECT_EQ(c.result, RunPopup(popup, c.current, -1, during)) << c.current;
    EXPECT_EQ(popup.naturalHeight, popup.height);
  }
}

// A list shorter than its items shows a bar and opens with the control's
// own item current, selected and in view, wherever it lies; Enter answers
// it, and Down goes on from it.
TEST(PopupList, OpensWithTheCurrentItemInViewAndAShorterListScrolls) {
  const struct {
    i32 current;
    std::initializer_list<u32> keys;
    i32 result;
    bool atTop;
  } cases[] = {{20, {}, 20, false}, {2, {}, 2, true}, {29, {}, 29, false}, {20, {VK_DOWN}, 21, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.current);
    CPopupList popup(kNames, 30);
    bool bar = false, inView = false;
    double opened = -1;
    const i32 result = RunPopup(popup, c.current, 8 + 5 * popup.rowHeight, [&] {
      CListView<CPopupList>& list = popup.list;
      bar = (list.flags & kFlagVScroll) != 0;
      opened = list.positionY;
      const Rect r = list.GetItemRect(c.current);  // view coordinates
      inView = r.top >= 0 && r.bottom <= list.viewHeight;
      EXPECT_EQ(c.current, list.currentItem);
      for (u32 key : c.keys) SendMessageW(static_cast<HWND>(popup.Handle()), WM_KEYDOWN, key, 0);
      PostMessageW(static_cast<HWND>(popup.Handle()), WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(c.result, result);
    EXPECT_TRUE(bar);
    EXPECT_TRUE(inView);
    EXPECT_EQ(c.atTop, opened == 1.0);
  }
}

// The erase window's popups have lists without keys: the arrows, Page Up
// and Down, Home and End neither move the current item nor scroll,
// whether the popup or its list holds the focus; Enter and Escape still
// end the run. The other windows' popups step and scroll.
TEST(PopupList, AListWithoutKeysLeavesEverythingButEnterAndEscapeAlone) {
  const struct {
    bool keys, listFocused;
    std::initializer_list<u32> press;
    u32 last;
    i32 current, result;
    bool scrolled;
  } cases[] = {
      {false, false, {VK_DOWN, VK_DOWN}, VK_RETURN, 0, 0, false},
      {false, true, {VK_DOWN, VK_DOWN}, VK_RETURN, 0, 0, false},
      {false, false, {VK_NEXT, VK_END, VK_UP}, VK_RETURN, 3, 3, false},
      {false, true, {VK_NEXT, VK_END, VK_UP}, VK_RETURN, 3, 3, false},
      {false, false, {VK_DOWN}, VK_ESCAPE, 3, -1, false},
      {true, false, {VK_DOWN, VK_DOWN}, VK_RETURN, 0, 2, true},
      {true, true, {VK_DOWN, VK_DOWN}, VK_RETURN, 0, 2, true},
      {true, false, {VK_NEXT}, VK_RETURN, 3, 3, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.keys << c.listFocused << " " << c.current);
    CPopupList popup(kNames, 30);
    popup.list.takesKeys = c.keys;
    double after = -1;
    const i32 result = RunPopup(popup, c.current, 8 + 5 * popup.rowHeight, [&] {
      const HWND window = static_cast<HWND>(popup.Handle());
      if (c.listFocused) popup.list.SetFocus();
      EXPECT_EQ(c.listFocused ? static_cast<CWidget*>(&popup.list) : &popup, FocusedWidget());
      for (u32 key : c.press) SendMessageW(window, WM_KEYDOWN, key, 0);
      after = popup.list.positionY;
      PostMessageW(window, WM_KEYDOWN, c.last, 0);
    });
    EXPECT_EQ(c.result, result);
    EXPECT_EQ(c.scrolled, after < 1.0);
  }
  StoreFocusedWidget(nullptr);
}

// Each row is drawn as the owner's item, the current one selected and no
// other; the current item follows the hover and the selection, and -1 or
// a lost selection leaves it.
TEST(PopupList, OnlyTheCurrentRowIsDrawnSelectedWithItsOwnText) {
  CRecordingThemePainter painter;
  CPopupList popup(kNames, 5);
  popup.current = 3;
  CMemoryCanvas m(160, 120);
  for (i32 i = 0; i < 5; ++i) {
    const Rect r = {0, 100 - 20 * i, 160, 120 - 20 * i};
    popup.PaintItem(&m.canvas, &r, i);
  }
  const std::vector<ThemeCall> rows = painter.CallsOf('l');
  ASSERT_EQ(5u, rows.size());
  const char16_t* names[] = {u"alpha", u"beta", u"gamma", u"delta", u"epsilon"};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(i == 3 ? static_cast<i32>(kLookSelected) : 0, rows[i].state) << i;
    EXPECT_EQ(std::u16string(names[i]), rows[i].text) << i;
    EXPECT_TRUE(rows[i].item.top == 100 - 20 * static_cast<i32>(i) && rows[i].item.right == 160) << i;
  }
  popup.OnItemHover(-1, 0, {0, 0});
  EXPECT_EQ(3, popup.current) << "the pointer off the items";
  popup.OnItemSelected(1, 0);
  EXPECT_EQ(3, popup.current) << "a lost selection";
  popup.OnItemHover(0, 0, {0, 0});
  EXPECT_EQ(0, popup.current);
  popup.OnItemSelected(4, 1);
  EXPECT_EQ(4, popup.current);
}

class CDropOwner : public CFakeOwnerOf<CDropOwner> {
 public:
  CDropDownList<CDropOwner> drop;
  int changes = 0;
  auto Children() { return std::tie(drop); }
  void OnChanged(i32) { ++changes; }
};

TEST(PopupList, TheControlTakesAChoiceButNotACancel) {
  CDropOwner owner;
  const Rect r = {300, 600, 460, 622};
  owner.drop.Create(kFlagVisible | kFlagTabStop, &r, &owner);
  owner.drop.changed = BindCallback<CDropOwner, &CDropOwner::OnChanged, i32>(&owner, &owner);
  owner.drop.AddItem(u"one");
  owner.drop.AddItem(u"two");
  owner.drop.SetSelection(0);
  owner.changes = 0;
  PostKeys({VK_DOWN, VK_ESCAPE});
  owner.drop.OpenPopup(false);
  EXPECT_TRUE(owner.drop.selectedIndex == 0 && owner.changes == 0);
  PostKeys({VK_DOWN, VK_RETURN});
  owner.drop.OpenPopup(false);
  EXPECT_TRUE(owner.drop.selectedIndex == 1 && owner.changes == 1);
  StoreFocusedWidget(nullptr);
}

}  // namespace
