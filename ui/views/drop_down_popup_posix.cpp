#include "ui/views/drop_down_popup.h"

i32 RunDropDownPopup(const DropDownItemSource&, u32, i32, i32, i32, i32, i32, bool) { return -1; }
