#include "app/main_window/slide_notice.h"

#include "jobs/job_page.h"

u32 WaitNoticeStep(CEvent& stop, u32 milliseconds) { return WaitEventOnClock(stop, milliseconds); }
