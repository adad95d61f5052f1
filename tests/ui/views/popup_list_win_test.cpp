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

TEST(PopupList, OpensWithTheCurrentItemInViewAndAShorterListScrolls) {
  CPopupList popup(kNames, 30);
  bool shown = false;
  const i32 result = RunPopup(popup, 20, 8 + 5 * popup.rowHeight, [&] {
    const Rect r = popup.list.GetItemRect(20);
    shown = popup.list.flags & kFlagVScroll && r.top >= 0 && r.bottom <= popup.list.viewHeight;
    PostMessageW(static_cast<HWND>(popup.Handle()), WM_KEYDOWN, VK_RETURN, 0);
  });
  EXPECT_EQ(20, result);
  EXPECT_TRUE(shown);
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
