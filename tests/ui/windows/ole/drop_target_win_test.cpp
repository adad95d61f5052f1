// The drop target driven as OLE drives it: DragEnter, DragOver, DragLeave
// and Drop called directly with a hand-made data object, over the two
// drop areas of a real window (its button and its probe).
#include <gtest/gtest.h>

#include "runtime/wide_string.h"
#include "ui/support/drop_blocks.h"
#include "ui/support/fake_data_object_win.h"
#include "ui/support/real_window.h"
#include "ui/windows/ole/drop_target_win.h"
#include "ui/windows/ole/ole_session.h"

namespace {

// Records its calls as letters (E enter, O over, L leave, D drop), answers
// copy while the data offers files and reads every name on a drop.
struct CRecordingHandler final : IDropHandler {
  std::string calls;
  u32 answer = kDropEffectNone;
  Point at = {-1, -1};
  std::vector<std::u16string> dropped;
  std::vector<HResult> results;

  HResult OnDragEnter(CDropData* data, u32, const Point& p, u32* effect) override {
    answer = data->HasData(kDroppedFilesId) == kHrOk ? kDropEffectCopy : kDropEffectNone;
    return Note('E', p, effect);
  }
  HResult OnDragOver(u32, const Point& p, u32* effect) override { return Note('O', p, effect); }
  HResult OnDragLeave() override {
    answer = kDropEffectNone;
    calls += 'L';
    return kHrOk;
  }
  HResult OnDrop(CDropData* data, u32, const Point& p, u32* effect) override {
    CDroppedFiles* files = nullptr;
    if (data->GetData(kDroppedFilesId, &files) == kHrOk) {
      u32 count = 0;
      files->GetCount(&count);
      for (u32 i = 0; i <= count; ++i) {
        CWideString name;
        results.push_back(files->GetName(i, &name));
        if (results.back() == kHrOk) dropped.push_back(std::u16string(name.c_str(), name.GetLength()));
      }
    }
    return Note('D', p, effect);
  }
  HResult Note(char call, const Point& p, u32* effect) {
    calls += call;
    at = p;
    *effect = answer;
    return kHrOk;
  }
};

struct DropTarget : testing::Test {
  static void SetUpTestSuite() {
    ole = new COleSession;
    frame = new CTestFrame;
    ASSERT_TRUE(frame->CreateAt(Rect{100, 100, 400, 300}, false));
  }
  static void TearDownTestSuite() {
    delete frame;
    delete ole;
  }
  void SetUp() override {
    ASSERT_TRUE(RegisterDropHandler(frame->Handle(), &frame->button, &a, &CWidget::HitTest, &CWidget::WindowToLocal));
    ASSERT_TRUE(RegisterDropHandler(frame->Handle(), &frame->probe, &b, &CWidget::HitTest, &CWidget::WindowToLocal));
    target = SharedDropTarget();
  }
  void TearDown() override {
    RevokeDropHandler(&a);
    RevokeDropHandler(&b);
  }
  // The screen point of a desktop point, and of a widget's centre.
  static POINTL ToScreen(Point p) {
    ScreenPoint s = {p.x, p.y};
    FlipWorkAreaY(&s);
    return {s.x, s.y};
  }
  static POINTL Over(const CWidget& w) {
    const Rect r = w.ToWindowRect();
    return ToScreen({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }
  static COleSession* ole;
  static CTestFrame* frame;
  CRecordingHandler a, b;
  CDropTarget* target = nullptr;
};
COleSession* DropTarget::ole = nullptr;
CTestFrame* DropTarget::frame = nullptr;

const DWORD kCopyOrMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;

TEST_F(DropTarget, WindowsStayRegisteredWhileAHandlerNamesThemAndUnpairedRevokesAreHarmless) {
  HWND window = static_cast<HWND>(frame->Handle());
  ASSERT_NE(nullptr, target);
  EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(window, target));
  RevokeDropHandler(&a);
  RevokeDropHandler(&a);  // a page revoking when hidden and again when closing
  EXPECT_EQ(target, SharedDropTarget()) << "b's registration keeps the target";
  EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(window, target));
  CFakeDataObject data;
  data.Offer(CF_HDROP, drop_blocks::WideList({u"C:\\x"}));
  DWORD effect = kCopyOrMove;
  target->DragEnter(&data, 0, Over(frame->probe), &effect);
  target->DragLeave();
  EXPECT_EQ("EL", b.calls);
  RevokeDropHandler(&b);
  EXPECT_EQ(nullptr, SharedDropTarget());
  EXPECT_EQ(DRAGDROP_E_NOTREGISTERED, RevokeDragDrop(window));
  EXPECT_EQ(1, data.References()) << "the target let the drag's data go";
}

TEST_F(DropTarget, ADragLeavesTheFirstAreaEntersTheSecondAndDropsTheListInEitherEncoding) {
  const std::u16string longName = u"C:\\" + std::u16string(300, u'n');
  const bool western = GetACP() == 1252;  // the code page whose é is known here
  struct Case {
    std::string block;
    std::vector<std::u16string> names;
    std::vector<HResult> results;
  } cases[] = {
      {drop_blocks::WideList({u"C:\\a.iso", longName, u"D:\\M\u00FAsica\\b.wav"}),
       {u"C:\\a.iso", u"D:\\M\u00FAsica\\b.wav"},
       {kHrOk, kHrFail, kHrOk, kHrFalse}},  // a name past the path limit is refused
      {drop_blocks::AnsiList({"C:\\a.iso", "C:\\caf\xE9.mp3"}), {u"C:\\a.iso", u"C:\\caf\u00E9.mp3"}, {kHrOk, kHrOk, kHrFalse}},
  };
  for (Case& c : cases) {
    a = CRecordingHandler();
    b = CRecordingHandler();
    CFakeDataObject data;
    data.Offer(CF_HDROP, c.block);
    DWORD effect = kCopyOrMove;
    EXPECT_EQ(S_OK, target->DragEnter(&data, 0, Over(frame->button), &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
    for (const CWidget* w : {static_cast<CWidget*>(&frame->button), static_cast<CWidget*>(&frame->probe)}) {
      effect = kCopyOrMove;
      target->DragOver(0, Over(*w), &effect);
    }
    EXPECT_EQ("EOL", a.calls);
    EXPECT_EQ("E", b.calls);
    EXPECT_TRUE(b.at.x == 50 && b.at.y == 12) << "the probe's own coordinates";
    effect = kCopyOrMove;
    EXPECT_EQ(S_OK, target->Drop(&data, 0, Over(frame->probe), &effect));
    EXPECT_EQ("ED", b.calls);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
    EXPECT_EQ(c.results, b.results);
    if (!western && b.dropped.size() == 2) b.dropped[1] = c.names[1];
    EXPECT_EQ(c.names, b.dropped);
    EXPECT_EQ(1, data.References());
  }
}

TEST_F(DropTarget, NoHandlerOrNoFileListGivesNoDropAndAnEffectTheSourceOffers) {
  CFakeDataObject text;
  text.Offer(CF_UNICODETEXT, std::string("h\0i\0\0\0", 6));
  DWORD effect = kCopyOrMove;
  target->DragEnter(&text, 0, Over(frame->button), &effect);
  EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect) << "text is no file list";
  Point empty = {250, 120};  // a content point of the window under no handler
  frame->ToWindowPoint(&empty);
  effect = 0xDEAD;
  target->Drop(&text, 0, ToScreen(empty), &effect);
  EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect) << "nothing under the pointer";
  EXPECT_EQ("EL", a.calls);
  EXPECT_EQ("", b.calls);

  CFakeDataObject files;
  files.Offer(CF_HDROP, drop_blocks::WideList({u"C:\\x"}));
  effect = DROPEFFECT_MOVE;  // a source that offers no copy
  target->DragEnter(&files, 0, Over(frame->button), &effect);
  EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
  EXPECT_EQ("ELE", a.calls) << "a new drag enters again";
  target->DragLeave();
  EXPECT_EQ(1, text.References());
  EXPECT_EQ(1, files.References());
}

// A drag walked across the edges of both areas, there and back: each
// area's first and last pixel column and row are its own (in its own
// coordinates from 0 to the last pixel), the pixel past it belongs to no
// area, and every crossing tells the area left and the area entered.
TEST_F(DropTarget, EveryEdgePixelOfAnAreaIsInItAndThePixelPastItIsNot) {
  CFakeDataObject data;
  data.Offer(CF_HDROP, drop_blocks::WideList({u"C:\\x"}));
  const Rect button = frame->button.ToWindowRect(), probe = frame->probe.ToWindowRect();
  ASSERT_LT(button.right, probe.left) << "a gap between the areas";
  const i32 midY = (button.top + button.bottom) / 2;
  const struct {
    Point desktop;
    std::string aCalls, bCalls;  // the calls so far
    Point local;                 // where the area entered or over was told the pointer is
    DWORD effect;
  } steps[] = {
      {{button.left, button.top}, "E", "", {0, 0}, DROPEFFECT_COPY},
      {{button.right - 1, button.bottom - 1}, "EO", "", {button.right - button.left - 1, button.bottom - button.top - 1}, DROPEFFECT_COPY},
      {{button.right, midY}, "EOL", "", {-1, -1}, DROPEFFECT_NONE},
      {{probe.left - 1, midY}, "EOL", "", {-1, -1}, DROPEFFECT_NONE},
      {{probe.left, probe.bottom - 1}, "EOL", "E", {0, probe.bottom - probe.top - 1}, DROPEFFECT_COPY},
      {{probe.right - 1, probe.top}, "EOL", "EO", {probe.right - probe.left - 1, 0}, DROPEFFECT_COPY},
      {{probe.left, probe.top - 1}, "EOL", "EOL", {-1, -1}, DROPEFFECT_NONE},
      {{probe.left, probe.top}, "EOL", "EOLE", {0, 0}, DROPEFFECT_COPY},
      {{button.right - 1, midY}, "EOLE", "EOLEL", {button.right - button.left - 1, midY - button.top}, DROPEFFECT_COPY},
      {{button.left - 1, midY}, "EOLEL", "EOLEL", {-1, -1}, DROPEFFECT_NONE},
  };
  for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i) {
    const auto& s = steps[i];
    a.at = b.at = {-1, -1};
    DWORD effect = kCopyOrMove;
    if (i == 0)
      target->DragEnter(&data, 0, ToScreen(s.desktop), &effect);
    else
      target->DragOver(0, ToScreen(s.desktop), &effect);
    EXPECT_EQ(s.aCalls, a.calls) << i;
    EXPECT_EQ(s.bCalls, b.calls) << i;
    const Point told = b.at.x >= 0 ? b.at : a.at;
    EXPECT_TRUE(told.x == s.local.x && told.y == s.local.y) << i << ": told " << told.x << "," << told.y;
    EXPECT_EQ(s.effect, effect) << i;
  }
  target->DragLeave();
  EXPECT_EQ("EOLEL", a.calls) << "nothing entered: nobody to tell";
  EXPECT_EQ(1, data.References());
}

}  // namespace
