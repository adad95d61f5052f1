// The Burner menu's "Copy disc" and "Erase rewritable disc..." (also the
// bar's erase icon): each runs its modal window centred on the main window
// and, when it was accepted, starts its job in the task view. Windows only.
#pragma once

class CMainFrame;

void CopyDisc(CMainFrame& frame);
void EraseDisc(CMainFrame& frame);
