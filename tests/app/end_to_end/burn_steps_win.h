// What a person does on the burn road, as steps other cases reuse: "Burn
// image...", the path typed into the window, Enter; the task view's burn
// page found and watched to its end. Each step fails the script (CPerson)
// when the program does not answer as it should.
#pragma once
#include <string>
#include <type_traits>
#include <utility>

#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "app/pages/burn_page.h"
#include "person_win.h"

// The burn page of the task view's job pane.
using TaskJobPane = std::remove_reference_t<decltype(std::declval<CMainFrame&>().pageHost.taskView.pane)>;
using BurnJobPage = CBurnJobPage<TaskJobPane>;

// The task view's `index`-th job, which the case knows to be a burn (it
// started no other job); null when there is none. User-interface thread.
BurnJobPage* BurnPageAt(CMainFrame& frame, u32 index = 0);

// Chooses "Burn image..." and waits for its window; the window's handle.
void* OpenBurnImageWindow(CPerson& p);
// Tabs to the window's image edit, types the path there and waits until
// OK is enabled.
bool TypeImagePath(CPerson& p, void* window, const std::u16string& path);
// Tabs to the window's device list.
bool TabToDeviceList(CPerson& p, void* window);
// TypeImagePath, then Enter accepts; the window has closed when it returns.
bool AcceptImage(CPerson& p, void* window, const std::u16string& path);
// OpenBurnImageWindow and AcceptImage: the window has closed when it returns.
bool StartImageBurn(CPerson& p, const std::u16string& path);
// Waits for the first burn page to show its end state ("View Log").
bool WaitForBurnEnd(CPerson& p, u32 milliseconds = 120000);

// A path for the edit: the wide path as UTF-16.
std::u16string AsTyped(const std::wstring& path);
