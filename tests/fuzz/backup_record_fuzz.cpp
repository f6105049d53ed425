// fuzz-sources: app/backup_record.cpp
// Backup records from arbitrary bytes: the parser never reads outside its
// input, and a record it accepts is written back to exactly those bytes (one
// spelling per record; a record of the first format comes back in the
// current one). A record made from the input's bytes reads back equal.
#include <cstdint>
#include <string>

#include "app/backup_record.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  BackupRecord parsed;
  if (ParseBackup(input, parsed) && input.rfind("Ruvelto backup 1", 0) != 0)
    Check(BackupHeader(parsed.meta, parsed.text.size()) + parsed.text == input, "accepted record rewrites differently",
          input);

  // A record whose fields come from the input: path and title without line
  // breaks or zero bytes, the rest as text.
  BackupRecord made;
  size_t cut = input.find('|');
  std::string head = input.substr(0, cut);
  for (char c : head)
    if (c != '\r' && c != '\n' && c != '\0') made.meta.path += c;
  made.meta.title = made.meta.path.empty() ? "t" : made.meta.path;
  made.meta.encoding = 1 << (size % 4);
  made.meta.lossyCharacters = size * 977;
  made.meta.textCut = size % 2 == 1;
  made.meta.file = FileIdentity{size % 3 != 0, size * 31, size * 1000003};
  made.meta.savedAt = size * 7;
  if (cut != std::string::npos) made.text = input.substr(cut + 1);
  BackupRecord back;
  Check(ParseBackup(BackupHeader(made.meta, made.text.size()) + made.text, back) && back.meta.path == made.meta.path &&
            back.meta.title == made.meta.title && back.meta.encoding == made.meta.encoding &&
            back.meta.lossyCharacters == made.meta.lossyCharacters && back.meta.textCut == made.meta.textCut &&
            back.meta.file == made.meta.file && back.meta.savedAt == made.meta.savedAt &&
            back.text == made.text,
        "written record reads back different", input);
  return 0;
}
