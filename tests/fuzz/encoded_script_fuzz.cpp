// fuzz-sources: platform/encoder/encoded_script.cpp
// The element scanner of the encoder's page kinds on arbitrary text: read
// back through the reader of tests/hosting/encoded_script_reader.h, the
// output is the input again, except that a language value naming JScript,
// JavaScript or VBScript became "JScript.Encode" or "VBScript.Encode", once
// for each encoded block, and, in a document declared as XML, a block may
// stand in a CDATA section of its own; so everything outside the encoded
// bodies is kept and every body decodes to what it was. A second pass
// changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include "platform/encoder/encoded_script.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/hosting/encoded_script_reader.h"

namespace {
char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool StartsWith(const std::u16string& s, size_t at, const std::u16string& prefix, bool anyCase) {
  if (at + prefix.size() > s.size()) return false;
  for (size_t k = 0; k < prefix.size(); ++k)
    if (anyCase ? LowerAscii(s[at + k]) != prefix[k] : s[at + k] != prefix[k]) return false;
  return true;
}

// The number of marked values when `decoded` is `in` with some language
// values marked (and, when `wrapped`, CDATA sections added); -1 when it
// differs in any other way.
int MarksBetween(const std::u16string& in, const std::u16string& decoded, bool wrapped) {
  static const struct {
    std::u16string plain, changed;
    bool mark;
  } kChanges[] = {{u"jscript", u"JScript.Encode", true}, {u"javascript", u"JScript.Encode", true},
                  {u"vbscript", u"VBScript.Encode", true}, {u"", u"<![CDATA[", false}, {u"", u"]]>", false}};
  size_t p = 0, q = 0;
  int marks = 0;
  while (p < in.size() || q < decoded.size()) {
    bool changed = false;
    for (const auto& c : kChanges) {
      if (changed || !(c.mark || wrapped) || !StartsWith(decoded, q, c.changed, false) ||
          StartsWith(in, p, c.changed, false) || !StartsWith(in, p, c.plain, true))
        continue;
      p += c.plain.size();
      q += c.changed.size();
      marks += c.mark;
      changed = true;
    }
    if (changed) continue;
    if (p >= in.size() || q >= decoded.size() || in[p] != decoded[q]) return -1;
    ++p, ++q;
  }
  return marks;
}

int Blocks(const std::u16string& s) {
  int n = 0;
  for (size_t at = s.find(u"#@~^"); at != std::u16string::npos; at = s.find(u"#@~^", at + 4)) ++n;
  return n;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::u16string text;
  // Bytes from 0x80 stand for characters from U+3040 (kana), kept by the encoder.
  for (uint8_t b : input) text += b < 0x80 ? static_cast<char16_t>(b) : static_cast<char16_t>(0x3040 + b - 0x80);
  // A block already in the text would be read back too.
  if (text.find(u"#@~^") != std::u16string::npos) return 0;
  std::u16string out, decoded, again;
  Check(EncodeScriptText(u".htm", text, out), "the page kind is refused", input);
  Check(encoded_script_reader::Decode(out, decoded), "a block does not read back", input);
  size_t first = 0;
  while (first < text.size() && (text[first] == u' ' || text[first] == u'\t' || text[first] == u'\r' || text[first] == u'\n'))
    ++first;
  const bool xml = StartsWith(text, first, u"<?xml", true);
  Check(MarksBetween(text, decoded, xml) == Blocks(out), "the text outside the bodies or a body changed", input);
  Check(EncodeScriptText(u".sct", out, again) && again == out, "a second pass changed the text", input);
  return 0;
}
