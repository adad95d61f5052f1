// A job page without a window: records what a job publishes (bar values,
// colours, visibility, redraws, finished and end states, device-command
// refreshes, follow-up page, close) and answers questions from a script.
// Calls onto the "user-interface thread" run on the calling thread, one at a
// time; SetUiAvailable(false) makes them fail as a closed window would.
#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "jobs/job_ui.h"
#include "runtime/threads.h"

class CHeadlessJobUi final : public IJobUi {
 public:
  struct Question {
    u32 textId, titleId, flags;
  };

  CHeadlessJobUi();
  ~CHeadlessJobUi();

  // ---- Script ----
  void SetUiAvailable(bool available) { uiAvailable_ = available; }
  // Answers of the next message boxes in order; afterwards the default.
  void QueueAnswer(u32 answer);
  void SetDefaultAnswer(u32 answer) { defaultAnswer_ = answer; }
  // The insert-disc prompt (default: cancelled, 1).
  void SetInsertDiscPrompt(std::function<u32(i32, void*)> prompt);
  // Called on the closing thread when the page may be destroyed.
  void SetOnClose(std::function<void()> onClose);

  // ---- Observations ----
  double BarValue(JobBar bar) const;
  u32 BarColour(JobBar bar) const;
  bool BarVisible(JobBar bar) const;
  std::vector<double> BarHistory(JobBar bar) const;
  std::vector<Question> Questions() const;
  std::u16string Caption(JobBar bar) const;
  u32 PromptCount() const { return prompts_.load(); }
  u32 RedrawCount() const { return redraws_.load(); }
  u32 FinishedStateCount() const { return finished_.load(); }
  u32 EndStateCount() const { return ended_.load(); }
  u32 StopRequestedCount() const { return stopShown_.load(); }
  u32 DeviceCommandUpdates() const { return deviceUpdates_.load(); }
  u32 UiCallCount() const { return uiCalls_.load(); }
  void* PageAside() const { return aside_.load(); }
  void* PageShown() const { return shown_.load(); }
  bool RedrawSuspended() const { return suspended_.load(); }
  u32 CloseCount() const { return closes_.load(); }
  // Waits (real time) until ClosePage was called; false at the deadline.
  bool WaitClosed(u32 milliseconds);
  // True while a call runs on the "user-interface thread".
  static bool OnUiThread();

  // ---- IJobUi ----
  void SetBarValue(JobBar bar, double percent) override;
  void SetBarColour(JobBar bar, u32 argb) override;
  void ShowBar(JobBar bar, bool visible) override;
  void SetCaption(JobBar bar, const wchar16* text) override;
  void SuspendRedraw(bool suspend) override;
  void Redraw() override;
  void ShowFinishedState() override;
  void ShowEndState() override;
  void ShowStopRequested() override;
  void UpdateDeviceCommands() override;
  void SetFollowUpPageAside(void* page) override;
  void ShowFollowUpPage(void* page) override;
  void ClosePage() override;
  bool CallOnUiThread(UiCall call, void* context) override;
  u32 ShowMessageBox(u32 textId, u32 titleId, u32 flags) override;
  u32 RunInsertDiscPrompt(i32 destinationIndex, void* request) override;

 private:
  mutable std::mutex mutex_;
  std::recursive_mutex uiThread_;
  double values_[kBarCount] = {};
  u32 colours_[kBarCount] = {};
  bool visible_[kBarCount] = {};
  std::u16string captions_[kBarCount];
  std::vector<double> history_[kBarCount];
  std::vector<Question> questions_;
  std::vector<u32> answers_;
  u32 defaultAnswer_ = kAnswerNo;
  std::function<u32(i32, void*)> prompt_;
  std::function<void()> onClose_;
  std::atomic<bool> uiAvailable_{true};
  std::atomic<u32> prompts_{0}, redraws_{0}, finished_{0}, ended_{0}, stopShown_{0};
  std::atomic<u32> deviceUpdates_{0}, uiCalls_{0}, closes_{0};
  std::atomic<void*> aside_{nullptr}, shown_{nullptr};
  std::atomic<bool> suspended_{false};
  CEvent closed_;
};
