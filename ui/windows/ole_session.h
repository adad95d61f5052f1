// OLE for the life of the program: initialised once at start-up on the
// user-interface thread (drop targets and the OLE clipboard need it), and
// at exit the program's data still on the clipboard is rendered there
// (OleFlushClipboard), so that it survives the program, before OLE is
// uninitialised. Windows only.
#pragma once

// Start-up table slot: OleInitialize and the exit callback EndOleSession.
void InitOleSession();
// Exit callback: flushes the clipboard and uninitialises OLE when the
// start-up initialised it.
void EndOleSession();
