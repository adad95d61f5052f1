// Controls that only show a value: the progress gauge and the gradient
// panel (the main window's status bar is app/main_window/status_bar.h).
// Their owners set the fields and ask for a repaint (a job's refresh
// thread does so under the window lock). Portable.
#pragma once
#include "render/bitmap.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/gradient_panel.h"
#include "ui/widgets/progress_bar.h"
#include "ui/widgets/widget.h"
