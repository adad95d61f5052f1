// Workers the system keeps for the rest of the process once something used
// them: a case starts them before its session counts the process's
// threads, so that only the program's own threads are held against it.
#pragma once

// OLE's, once a window took drops (the audio project's track list does).
void WarmUpDropWorkers();
