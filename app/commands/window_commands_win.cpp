#include "app/commands/window_commands.h"

#include "app/commands/command_ids.h"
#include "app/commands/copy_erase_commands.h"
#include "app/main_window/main_frame.h"

bool RunWindowCommand(CMainFrame& frame, u32 command) {
  switch (command) {
    case kCmdCopyDisc:
      CopyDisc(frame);
      return true;
    case kCmdEraseDisc:
    case kCmdEraseIcon:
      EraseDisc(frame);
      return true;
    case kCmdNewData:
    case kCmdNewAudio:
    case kCmdOpen:
    case kCmdDiscInfo:
    case kCmdDeviceInfo:
      return true;
    default:
      return false;
  }
}
