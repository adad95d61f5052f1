// IJobUi: the narrow boundary through which a disc job talks to its page.
// The job threads publish values (bars, colours, visibility), ask for
// redraws and the finished state, run questions synchronously on the
// user-interface thread, hand back the follow-up page and ask the main
// window to re-evaluate its drive commands. The program's job pages
// implement it over their widgets; tests use a headless implementation.
//
// Painters never send drive commands: every value a page shows is
// published by a job thread into the job state (job_page.h) or through
// these calls.
#pragma once
#include "runtime/message_answers.h"
#include "runtime/types.h"

// The widgets a job drives.
enum JobBar : u32 {
  kBarOverall = 0,      // overall progress, percent
  kBarMemoryCache = 1,  // burn only: memory-cache fill, percent
  kBarDeviceCache = 2,  // burn only: drive-buffer fill, percent
  kBarCount = 3
};

// Message-box answers (ShowMessageBox): runtime/message_answers.h.

// A function run on the user-interface thread with its context.
typedef void (*UiCall)(void* context);

class IJobUi {
 public:
  // ---- Any thread ----
  virtual void SetBarValue(JobBar bar, double percent) = 0;
  virtual void SetBarColour(JobBar bar, u32 argb) = 0;
  virtual void ShowBar(JobBar bar, bool visible) = 0;
  // What the caption over a gauge shows after the gauge's name (the memory
  // cache's size); the page writes the name itself, in the language shown
  // when it paints. The page keeps its own copy, taken under its window's
  // lock, so a painter never reads a text that a job thread is writing.
  virtual void SetCaption(JobBar bar, const wchar16* text) = 0;
  // Suspends or resumes the page's repaint; resuming repaints.
  virtual void SuspendRedraw(bool suspend) = 0;
  // Repaints the page from the calling thread (under the window's lock).
  virtual void Redraw() = 0;
  // The finished state: gauges and bars hidden, close button shown.
  virtual void ShowFinishedState() = 0;
  // The end of a job: close button frame 3 and the "View Log" link shown.
  virtual void ShowEndState() = 0;
  // A confirmed stop request: the close button shows frame 3.
  virtual void ShowStopRequested() = 0;
  // The main window re-evaluates its drive-dependent commands.
  virtual void UpdateDeviceCommands() = 0;
  // Takes the follow-up page out of the open pages while the job runs, and
  // shows it again when the job ends. Null pages are ignored.
  virtual void SetFollowUpPageAside(void* page) = 0;
  virtual void ShowFollowUpPage(void* page) = 0;
  // Every thread of the job has ended and the page was asked to close:
  // the page may now be removed and destroyed (the call itself must not
  // destroy it on the calling thread; the program posts to its UI thread).
  virtual void ClosePage() = 0;

  // ---- Job threads: a synchronous call onto the user-interface thread.
  // Runs call(context) there and returns when it has run; false when the
  // call could not be made (the window is gone, the program is closing).
  // A question that could not be asked counts as cancel.
  virtual bool CallOnUiThread(UiCall call, void* context) = 0;

  // ---- User-interface thread only ----
  // A message box (UI string ids; flags as the message box reads them,
  // ui/windows/dialogs/message_box_layout.h); returns one of the answers
  // (runtime/message_answers.h).
  virtual u32 ShowMessageBox(u32 textId, u32 titleId, u32 flags) = 0;
  // The modal "insert the destination disc" prompt for the destination
  // drive index and the job's request (a BurnRequest); 0 when a disc came,
  // non-zero when the user cancelled.
  virtual u32 RunInsertDiscPrompt(i32 destinationIndex, void* request) = 0;

 protected:
  ~IJobUi() = default;
};
