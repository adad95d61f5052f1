#include "app/commands/window_commands.h"

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"

bool RunWindowCommand(CMainFrame& frame, u32 command) {
  switch (command) {
    case kCmdNewAudio:
      frame.pageHost.OpenAudioProject();
      return true;
    case kCmdNewData:
    case kCmdOpen:
    case kCmdCopyDisc:
    case kCmdEraseDisc:
    case kCmdEraseIcon:
    case kCmdDiscInfo:
    case kCmdDeviceInfo:
      return true;
    default:
      return false;
  }
}
