#include "headless_job_ui.h"

#include <chrono>
#include <thread>

namespace {
thread_local int g_uiDepth = 0;
}

CHeadlessJobUi::CHeadlessJobUi() { closed_.Create(true, false); }
CHeadlessJobUi::~CHeadlessJobUi() = default;

void CHeadlessJobUi::QueueAnswer(u32 answer) {
  std::lock_guard<std::mutex> guard(mutex_);
  answers_.push_back(answer);
}

void CHeadlessJobUi::SetInsertDiscPrompt(std::function<u32(i32, void*)> prompt) {
  std::lock_guard<std::mutex> guard(mutex_);
  prompt_ = std::move(prompt);
}

void CHeadlessJobUi::SetOnClose(std::function<void()> onClose) {
  std::lock_guard<std::mutex> guard(mutex_);
  onClose_ = std::move(onClose);
}

double CHeadlessJobUi::BarValue(JobBar bar) const {
  std::lock_guard<std::mutex> guard(mutex_);
  return values_[bar];
}

u32 CHeadlessJobUi::BarColour(JobBar bar) const {
  std::lock_guard<std::mutex> guard(mutex_);
  return colours_[bar];
}

bool CHeadlessJobUi::BarVisible(JobBar bar) const {
  std::lock_guard<std::mutex> guard(mutex_);
  return visible_[bar];
}

std::vector<double> CHeadlessJobUi::BarHistory(JobBar bar) const {
  std::lock_guard<std::mutex> guard(mutex_);
  return history_[bar];
}

std::vector<CHeadlessJobUi::Question> CHeadlessJobUi::Questions() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return questions_;
}

bool CHeadlessJobUi::WaitClosed(u32 milliseconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (closes_.load() == 0) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool CHeadlessJobUi::OnUiThread() { return g_uiDepth > 0; }

void CHeadlessJobUi::SetBarValue(JobBar bar, double percent) {
  if (bar >= kBarCount) return;
  std::lock_guard<std::mutex> guard(mutex_);
  values_[bar] = percent;
  history_[bar].push_back(percent);
}

void CHeadlessJobUi::SetBarColour(JobBar bar, u32 argb) {
  if (bar >= kBarCount) return;
  std::lock_guard<std::mutex> guard(mutex_);
  colours_[bar] = argb;
}

void CHeadlessJobUi::SetCaption(JobBar bar, const wchar16* text) {
  if (bar >= kBarCount) return;
  std::lock_guard<std::mutex> lock(mutex_);
  captions_[bar] = text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

std::u16string CHeadlessJobUi::Caption(JobBar bar) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return captions_[bar];
}

void CHeadlessJobUi::ShowBar(JobBar bar, bool visible) {
  if (bar >= kBarCount) return;
  std::lock_guard<std::mutex> guard(mutex_);
  visible_[bar] = visible;
}

void CHeadlessJobUi::SuspendRedraw(bool suspend) {
  suspended_ = suspend;
  if (!suspend) ++redraws_;
}

void CHeadlessJobUi::Redraw() { ++redraws_; }
void CHeadlessJobUi::ShowFinishedState() {
  std::lock_guard<std::mutex> guard(mutex_);
  for (bool& v : visible_) v = false;
  ++finished_;
}
void CHeadlessJobUi::ShowEndState() { ++ended_; }
void CHeadlessJobUi::ShowStopRequested() { ++stopShown_; }
void CHeadlessJobUi::UpdateDeviceCommands() { ++deviceUpdates_; }
void CHeadlessJobUi::SetFollowUpPageAside(void* page) {
  if (page) aside_ = page;
}
void CHeadlessJobUi::ShowFollowUpPage(void* page) {
  if (page) shown_ = page;
}

void CHeadlessJobUi::ClosePage() {
  std::function<void()> onClose;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    onClose = onClose_;
  }
  if (onClose) onClose();
  ++closes_;
  closed_.Set();
}

bool CHeadlessJobUi::CallOnUiThread(UiCall call, void* context) {
  if (!uiAvailable_.load()) return false;
  std::lock_guard<std::recursive_mutex> guard(uiThread_);
  ++uiCalls_;
  ++g_uiDepth;
  call(context);
  --g_uiDepth;
  return true;
}

u32 CHeadlessJobUi::ShowMessageBox(u32 textId, u32 titleId, u32 flags) {
  std::lock_guard<std::mutex> guard(mutex_);
  questions_.push_back(Question{textId, titleId, flags});
  if (!answers_.empty()) {
    u32 answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  }
  return defaultAnswer_;
}

u32 CHeadlessJobUi::RunInsertDiscPrompt(i32 destinationIndex, void* request) {
  ++prompts_;
  std::function<u32(i32, void*)> prompt;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    prompt = prompt_;
  }
  return prompt ? prompt(destinationIndex, request) : 1;
}
