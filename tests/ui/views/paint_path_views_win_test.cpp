#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ui/support/real_window.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/support/scripted_window_system.h"
#include "ui/views/drop_down_list.h"
#include "ui/views/list_view.h"
#include "ui/views/tree_view.h"

namespace {

// An opaque widget: it covers its box with one colour.
template <class TParent>
class CFill : public CWidgetOf<CFill<TParent>, TParent> {
 public:
  u32 colour = 0xFF406080u;
  void PaintContent(CCanvas& canvas) { canvas.FillRect(0, 0, this->width, this->height, colour); }
};

// An opaque panel whose child sticks out of it.
template <class TParent>
class CPanel : public CCompositeOf<CPanel<TParent>, TParent> {
 public:
  CFill<CPanel> inner;
  auto Children() { return std::tie(inner); }
  void CreateChildren() {
    const Rect r = {20, 20, 140, 140};  // the panel's content is 100 x 100
    inner.Create(kFlagVisible, &r, this);
    inner.colour = 0xFF20A020u;
  }
  void PaintContent(CCanvas& canvas) { canvas.FillRect(0, 0, this->width, this->height, 0xFFE0E0E0u); }
};

class CViewsFrame : public CFrameWindow<CViewsFrame> {
 public:
  static constexpr u32 kStyle = 0x6670;
  static constexpr u32 kCaretSlot = kCaretSlotExplorerTree;
  static constexpr i32 kMinTrackWidth = 100, kMinTrackHeight = 100;
  auto Children() { return std::tie(glass, panel, list, tree, drop); }
  void CreateControls() {
    const Rect g = {10, 200, 110, 224}, p = {130, 10, 230, 110}, l = {10, 10, 120, 110}, t = {250, 10, 380, 180},
               d = {130, 150, 240, 172};
    glass.textId = 0;
    glass.Create(kButtonFlags, &g, this);
    panel.Create(kFlagVisible, &p, this);
    list.Create(kFlagVisible | kFlagSeeThrough, &l, this);
    for (int i = 0; i < 12; ++i) list.rows.AppendNew()->text.Assign(u"row of the list");
    list.rows[2].state = kListRowSelected;
    list.UpdateItemSize();
    list.UpdateLayout();
    tree.Create(kFlagVisible | kFlagSeeThrough, &t, this);
    TreeItemInfo info;
    info.Init(u"folder", -1, -1, 0);
    TreeItemHandle top, made;
    tree.InsertItem(&top, info, kNullItem, kInsertLast);
    for (int i = 0; i < 14; ++i) tree.InsertItem(&made, info, top, kInsertLast);
    tree.SetExpanded(top, true);
    tree.SelectItem(made);
    drop.Create(kDropDownFlags, &d, this);
    drop.AddItem(u"choice");
    drop.SetSelection(0);
  }
  CButton<CViewsFrame> glass;
  CPanel<CViewsFrame> panel;
  CListView<CViewsFrame> list;
  CTreeView<CViewsFrame> tree;
  CDropDownList<CViewsFrame> drop;
};

// Every colour channel at most the alpha (and something to look at).
bool Premultiplied(const std::vector<u32>& pixels) {
  for (u32 p : pixels)
    if (((p >> 16) & 0xFF) > p >> 24 || ((p >> 8) & 0xFF) > p >> 24 || (p & 0xFF) > p >> 24) return false;
  return !pixels.empty();
}

struct ViewsPaint : testing::Test {
  static void SetUpTestSuite() {
    frame = new CViewsFrame;
    ASSERT_TRUE(frame->CreateAt(Rect{100, 100, 500, 380}, false));
    PumpPending();
  }
  static void TearDownTestSuite() {
    DestroyWindow(static_cast<HWND>(frame->Handle()));
    PumpPending();
    delete frame;
  }
  void SetUp() override {
    painter.draw = true;
    frame->Repaint();
    painter.calls.clear();
    system.ClearPresents();
  }
  std::vector<u32> Surface() {
    const CCanvas& c = frame->Canvas();
    return std::vector<u32>(c.pixels, c.pixels + c.width * c.height);
  }
  // The surface pixels of a window rectangle (margins 9 and 10).
  bool InWindowRect(i32 x, i32 y, const Rect& r) { return r.Contains(x - 9, y - 10); }
  static CViewsFrame* frame;
  CRecordingThemePainter painter;
  CScriptedWindowSystem system;
};
CViewsFrame* ViewsPaint::frame = nullptr;

TEST_F(ViewsPaint, EveryControlRepaintedTenTimesLooksAsPaintedOnce) {
  const std::vector<u32> once = Surface();
  u32 translucent = 0;
  for (u32 p : once) translucent += (p >> 24) != 0 && (p >> 24) != 0xFF;
  ASSERT_GT(translucent, 1000u) << "the scene has translucent pixels that could pile up";
  auto tenTimes = [&](auto& widget, const char* name) {
    for (int i = 0; i < 10; ++i) frame->RedrawWidget(widget, nullptr);
    EXPECT_TRUE(Surface() == once) << name;
  };
  tenTimes(frame->glass, "button");
  tenTimes(frame->list, "list");
  tenTimes(frame->tree, "tree");
  tenTimes(frame->drop, "drop-down");
  tenTimes(frame->panel, "panel");
  tenTimes(frame->panel.inner, "panel child");
  frame->list.LineDown(3);
  frame->list.positionY = 1.0;
  frame->list.NotifyScrolled();
  EXPECT_TRUE(Surface() == once) << "scrolled away and back";
  frame->bandCount = 1;
  frame->Repaint();
  const std::vector<u32> one = Surface();
  frame->bandCount = 4;
  frame->Repaint();
  EXPECT_TRUE(one == Surface()) << "one band and four bands";
  frame->bandCount = 0;
}

TEST_F(ViewsPaint, AnOpaqueWidgetChangesNothingOutsideItsContainersContent) {
  CCanvas& c = frame->Canvas();
  const u32 marker = 0x12345678u;
  for (i32 i = 0; i < c.width * c.height; ++i) c.pixels[i] = marker;
  frame->RedrawWidget(frame->panel.inner, nullptr);
  // The child spans window x 155..275 but the panel's content ends at 235.
  const Rect content = ContentRectOf(frame->width, frame->height, frame->flags);
  const Rect panelContent = {content.left + 130, content.top + 10, content.left + 230, content.top + 110};
  const Rect childShown = {panelContent.left + 20, panelContent.top + 20, panelContent.right, panelContent.bottom};
  u32 changed[2] = {0, 0};  // outside, inside the part of the child that shows
  for (i32 y = 0; y < c.height; ++y)
    for (i32 x = 0; x < c.width; ++x) changed[InWindowRect(x, y, childShown)] += c.pixels[y * c.width + x] != marker;
  EXPECT_TRUE(changed[0] == 0 && changed[1] == 80 * 80) << changed[0] << " " << changed[1];
  // A hidden container hides its children's repaints too.
  for (i32 i = 0; i < c.width * c.height; ++i) c.pixels[i] = marker;
  frame->panel.flags &= ~kFlagVisible;
  frame->RedrawWidget(frame->panel.inner, nullptr);
  frame->panel.flags |= kFlagVisible;
  for (i32 i = 0; i < c.width * c.height; ++i) ASSERT_EQ(marker, c.pixels[i]);
}

TEST_F(ViewsPaint, PresentsHaveNoChannelAboveItsAlphaAndNeedASurface) {
  system.capturePixels = true;
  frame->Repaint();
  ASSERT_EQ(1u, system.Presents().size());
  EXPECT_TRUE(Premultiplied(system.Presents()[0].pixels));
  system.ClearPresents();
  painter.calls.clear();
  frame->FreeSurface();
  frame->RedrawWidget(frame->list, nullptr);
  frame->Repaint();
  EXPECT_TRUE(painter.calls.empty() && system.Presents().empty());
  frame->ResizeSurfaceToContent();
}

// A window without frame or shadow painting two translucent layers.
class CLayersFrame : public CFrameWindow<CLayersFrame> {
 public:
  static constexpr u32 kStyle = kFlagMaximized | kFlagNoCaptionButtons;
  static constexpr i32 kMinTrackWidth = 10, kMinTrackHeight = 10;
  std::tuple<> Children() { return {}; }
  void PaintDecoration(CCanvas& canvas) {
    canvas.FillRect(0, 0, width, height, 0x80FF0000u);
    canvas.FillRect(0, 0, width / 2, height, 0x6000FF00u);
  }
};

// What a layered present with per-pixel alpha needs: every colour channel
// at most the alpha, and the colours premultiplied by the alpha of what
// the layers make together.
TEST(PresentedPixels, ArePremultipliedCompositesOfTheTranslucentLayers) {
  CScriptedWindowSystem system;
  system.capturePixels = true;
  CLayersFrame frame;
  ASSERT_TRUE(frame.CreateAt(Rect{200, 200, 300, 260}, false));
  PumpPending();
  system.ClearPresents();
  frame.Repaint();
  const std::vector<PresentRecord> presents = system.Presents();
  ASSERT_EQ(1u, presents.size());
  const std::vector<u32>& pixels = presents[0].pixels;
  ASSERT_EQ(static_cast<size_t>(100 * 60), pixels.size());
  EXPECT_TRUE(Premultiplied(pixels));
  // Straight-alpha composition done here in doubles: green (0x60) over red
  // (0x80) on the left half, red alone on the right half.
  const double red = 0x80 / 255.0, green = 0x60 / 255.0;
  const double alpha = green + red * (1 - green);
  struct {
    i32 x;
    double a, r, g;
  } expected[] = {{10, alpha, red * (1 - green), green}, {90, red, red, 0}};
  for (const auto& e : expected) {
    const u32 p = pixels[static_cast<size_t>(30 * 100 + e.x)];
    EXPECT_NEAR(e.a * 255, p >> 24, 2.0) << std::hex << p;
    EXPECT_NEAR(e.r * 255, (p >> 16) & 0xFF, 2.0) << std::hex << p;
    EXPECT_NEAR(e.g * 255, (p >> 8) & 0xFF, 2.0) << std::hex << p;
  }
  DestroyWindow(static_cast<HWND>(frame.Handle()));
  PumpPending();
}

}  // namespace
