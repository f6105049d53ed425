// A script file's bytes and the editor's text: detection and conversion to
// Shift-JIS on load, conversion back to the file's encoding on save, with what
// each direction could not carry over counted, so that the document can warn
// before anything is lost. Pure byte code, no Windows header.
#pragma once

#include <cstddef>
#include <string>

#include "document/encoding.h"

// The outcome of turning a file's bytes into the editor's text.
struct DecodedFile {
  TextEncoding encoding = TextEncoding::ShiftJis;  // detected (ShiftJis for ASCII and undetermined)
  std::size_t length = 0;       // bytes of Shift-JIS text, up to (not including) the first zero
  std::size_t unmappable = 0;   // characters that came out as stand-ins (UTF-8 files only)
  Utf8FormsRead forms;          // UTF-8 files: the form each JIS-form cell is written back in
  bool zeroInFile = false;      // the file itself held a zero byte
  bool zeroInText = false;      // the conversion produced one (the text is cut there)
};

// Detects the encoding of the `byteCount` bytes at `buffer` (which holds
// byteCount + 1 bytes, the last one zero) and converts them in place to
// Shift-JIS. The text is the zero-terminated string left at `buffer`: it ends
// at the first zero byte, whether the file had one or a conversion made one.
DecodedFile DecodeFileBytes(char* buffer, std::size_t byteCount);

// The bytes a file in `encoding` gets for the Shift-JIS `text` (UTF-8 with the
// JIS-form cells in `forms`). `unmappable`, when given, receives how many
// characters the encoding cannot hold (they are written as a stand-in);
// Shift-JIS itself loses nothing.
std::string EncodeFileText(std::string text, TextEncoding encoding, std::size_t* unmappable = nullptr,
                           Utf8Forms forms = {});
