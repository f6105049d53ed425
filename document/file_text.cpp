// File bytes to editor text and back.
#include "document/file_text.h"

#include <cstring>

DecodedFile DecodeFileBytes(char* buffer, std::size_t byteCount) {
  DecodedFile result;
  buffer[byteCount] = '\0';
  result.zeroInFile = std::memchr(buffer, 0, byteCount) != nullptr;
  const DetectionCode code = DetectEncoding(buffer);
  result.encoding = EncodingFromDetection(code);
  std::size_t length = 0;
  switch (code) {
    case DetectionCode::EucJp: length = EucToShiftJis(buffer); break;
    case DetectionCode::Jis: length = JisToShiftJis(buffer); break;
    case DetectionCode::Utf8: length = Utf8ToShiftJis(buffer, byteCount, &result.unmappable, &result.forms); break;
    default: length = std::strlen(buffer); break;
  }
  // The converters promise no zero for zero-free input; the text is checked
  // anyway, since a zero would silently end it.
  result.length = std::strlen(buffer);
  result.zeroInText = !result.zeroInFile && result.length < length;
  return result;
}

std::string EncodeFileText(std::string text, TextEncoding encoding, std::size_t* unmappable, Utf8Forms forms) {
  std::size_t lost = 0;
  const std::size_t length = text.size();
  switch (encoding) {
    case TextEncoding::EucJp:
      text.resize(ShiftJisToEucCapacity(length));
      text.resize(ShiftJisToEuc(text.data(), &lost));
      break;
    case TextEncoding::Jis:
      text.resize(ShiftJisToJisCapacity(length));
      text.resize(ShiftJisToJis(text.data(), &lost));
      break;
    case TextEncoding::Utf8:
      text = ShiftJisToUtf8(text, &lost, forms);
      break;
    case TextEncoding::ShiftJis:
      break;
  }
  if (unmappable) *unmappable = lost;
  return text;
}
