// The backup of a document's unsaved text: one file per document, a short
// header (path, title, encoding, what the loaded file could not carry, text
// length) followed by the text's bytes exactly as the document holds them;
// and the names of the files in the backup folder (a run's mark, its
// backups). No Windows header.
//
// The text inside the program always has CR LF line ends and no byte-order
// mark (loading makes them so, saving writes them so), so the bytes of the
// text and the encoding are all a save needs to write the same file again.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include "platform/framework/file_identity.h"

// The one limit of a backup's text, for writing and reading it alike: what the
// program can hold in memory a few times over, not the largest file the editor
// opens (typing, pasting and macros may grow a text past that).
const std::size_t kLargestBackupText = 64u * 1024 * 1024;
// A backup file's largest size: the header (path and title within the
// system's limits) and the largest text.
const unsigned long long kLargestBackupFile = kLargestBackupText + 4096;

struct BackupMeta {
  std::string path;   // the document's full path; empty when it has none
  std::string title;  // the window's title; never empty
  int encoding = 2;   // TextEncoding of the file (1, 2, 4 or 8)
  unsigned long long lossyCharacters = 0;  // characters the load could not show
  bool textCut = false;                    // a zero byte ended the loaded text early
  FileIdentity file{};  // the document's file as it last loaded or saved it (exists false: none, or not recorded)
  unsigned long long savedAt = 0;  // when the backup was made, in the system's file time (0: not recorded)
};

struct BackupRecord {
  BackupMeta meta;
  std::string text;
};

// The header written before `textLength` bytes of text. Path and title hold no
// CR, LF or zero byte (file names and titles cannot).
std::string BackupHeader(const BackupMeta& meta, std::size_t textLength);

// Reads a whole backup file: true only for one complete, well-formed record
// (the header's fields in order, the text exactly as long as it says and
// within kLargestBackupText, nothing after it). Otherwise false, with a short
// reason in `why` when given. A record of the first format (without the file's
// identity and the time) reads with both unknown.
bool ParseBackup(std::string_view bytes, BackupRecord& record, std::string* why = nullptr);

// Names in the backup folder. A run is one start of the program, named by a
// number; its mark "<run>.run" (8 hex digits) is held open while it runs, and
// its backups are "<run>-<n>.rvb", n numbering its documents. A backup is
// written as "<run>-<n>.tmp" first.
std::string RunMarkName(std::uint32_t run);
std::string BackupFileName(std::uint32_t run, unsigned number);
std::string BackupTempName(std::uint32_t run, unsigned number);
// The run and number of a backup's name (".rvb" or ".tmp" as `extension`
// says, without regard to case); false for any other name.
bool ParseBackupName(std::string_view name, std::string_view extension, std::uint32_t& run, unsigned& number);
// The run of a mark's name; false for any other name.
bool ParseRunMarkName(std::string_view name, std::uint32_t& run);
