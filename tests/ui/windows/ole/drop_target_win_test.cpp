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

}  // namespace
