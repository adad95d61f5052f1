#include "app/commands/window_commands.h"

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"

bool RunWindowCommand(CMainFrame&, u32 command) {
  switch (command) {
    case kCmdNewData:
    case kCmdNewAudio:
    case kCmdOpen:
    case kCmdCopyDisc:
    case kCmdBurnImage:
    case kCmdEraseDisc:
    case kCmdEraseIcon:
    case kCmdDiscInfo:
    case kCmdDeviceInfo:
      return true;
    default:
      return false;
  }
}
