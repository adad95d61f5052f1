#include "app/commands/window_commands.h"

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"

bool RunWindowCommand(CMainFrame& frame, u32 command) {
  switch (command) {
    case kCmdNewAudio:
      frame.pageHost.OpenAudioProject();
      return true;
    case kCmdCopyDisc:
    case kCmdEraseDisc:
    case kCmdEraseIcon:
      return true;
    default:
      return false;
  }
}
