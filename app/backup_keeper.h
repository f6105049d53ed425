// Backups of unsaved text and their recovery at the next start. While a
// document has unsaved changes, a copy of its text goes to the backup folder a
// few seconds after the last change (at the latest every 30 seconds while the
// text keeps changing); it goes away when the document is saved, closed, or the
// program ends normally. At start, the backups of runs that ended any other way
// are offered back.
//
// Each run holds its mark file open without sharing write or delete access, so
// another run can tell a live run (the mark cannot be deleted) from one that
// has ended (it can, or it is gone). Backups of a live run are never touched.
//
// Everything here runs on the user interface thread; the files are written by
// one BackupWriter thread from a copy of the text.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include "app/backup_record.h"
#include "app/backup_writer.h"

class CDocument;
class CFrameWnd;
class CWinApp;

class CBackupKeeper {
 public:
  static const UINT kTickMs = 1000;     // how often the documents are looked at
  static const DWORD kQuietMs = 3000;   // a backup follows this long after the last change
  static const DWORD kLongestMs = 30000;  // ... and never later than this after the first

  CBackupKeeper() = default;
  ~CBackupKeeper();

  // The folder of the backups: "Ruvelto\backup" in the user's own local
  // application-data folder, which no other user reads. Empty when the
  // system names no such folder.
  static std::string UserBackupFolder();
  // Marks this run in `folder` (made when missing, with its parents) and looks
  // at the documents every kTickMs on a timer of `frame`. False when the mark cannot be made:
  // no backups are kept in this run.
  bool StartRun(const std::string& folder, CFrameWnd* frame);
  // The backups of runs that have ended without a normal exit: asks whether to
  // restore them; Yes opens each as a modified document in a window of its
  // own (DecideRecovery says which keep their paths, and one message names
  // those that did not), No removes them after asking once more. Files that
  // cannot be read are set aside (".bad") and named in that message.
  void OfferRecovery(CWinApp& app);
  // One look at the documents: backs up those whose text has waited long
  // enough, removes the backups of documents saved or closed.
  void Tick();
  // The normal exit: this run's backups and its mark go.
  void EndRun();
  bool Running() const { return m_mark != INVALID_HANDLE_VALUE; }

  // Milliseconds from some fixed moment (tests move the clock themselves).
  std::function<DWORD()> m_now = [] { return GetTickCount(); };
  // The backup file of an open document ("" when it has none so far).
  std::string BackupPathOf(CDocument* doc) const;
  // Waits for the writer (tests; the exit).
  void Flush() { m_writer.Flush(); }

 private:
  // What a backup holds of a document besides its text; a change of any of
  // it (or of the text) calls for a new backup.
  struct State {
    unsigned textChanges = 0;
    BackupMeta meta;
    bool operator==(const State& o) const;
  };
  struct Entry {
    unsigned number = 0;
    State seen;            // at the last look
    DWORD changedAt = 0;   // when `seen` last changed (or the last write failed)
    bool waiting = false;  // differs from the backup on disk, and no write of it is under way
    DWORD waitingSince = 0;
    bool onDisk = false;   // a backup file of this number exists (or is being written)
    unsigned long long job = 0;  // the writer's number of the last write handed over
  };
  static bool StateOf(CDocument* doc, State& state);
  std::string PathOf(unsigned number) const { return m_folder + BackupFileName(m_run, number); }
  std::string TempOf(unsigned number) const { return m_folder + BackupTempName(m_run, number); }
  void WriteBackup(CDocument* doc, Entry& entry, DWORD now);
  void Forget(Entry& entry);
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);
  // The outcomes of the writes: a failed one waits to be written again.
  void TakeResults(DWORD now);
  // The one quiet note of a failure, until a backup is written again.
  void NoteFailure();

  std::string m_folder;  // with a trailing backslash
  std::uint32_t m_run = 0;
  HANDLE m_mark = INVALID_HANDLE_VALUE;
  CFrameWnd* m_frame = nullptr;  // for the status bar, while m_window exists
  HWND m_window = nullptr;       // the frame's window, which carries the timer
  std::map<CDocument*, Entry> m_entries;
  unsigned m_nextNumber = 1;
  bool m_failureNoted = false;
  BackupWriter m_writer;
};
