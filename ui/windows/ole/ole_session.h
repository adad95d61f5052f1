// OLE for the life of the application: initialised once on the
// user-interface thread before the first window (drop targets and the OLE
// clipboard need it); at the end the program's data still on the
// clipboard is rendered there (OleFlushClipboard), so that it survives the
// program, before OLE is uninitialised. Windows only.
#pragma once

class COleSession {
 public:
  COleSession();
  ~COleSession();
  COleSession(const COleSession&) = delete;
  COleSession& operator=(const COleSession&) = delete;

  bool IsInitialised() const { return initialised_; }

 private:
  bool initialised_;
};
