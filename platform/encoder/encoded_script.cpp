// The encoded-script form (see encoded_script.h).
#include "platform/encoder/encoded_script.h"
#include <algorithm>
#include <cstdint>

const unsigned char kEncodedScriptPick[64] = {
    1, 2, 0, 1, 2, 0, 2, 0, 0, 2, 0, 2, 1, 0, 2, 0, 1, 0, 2, 0, 1, 1, 2, 0, 0, 2, 1, 0, 2, 0, 0, 2,
    1, 1, 0, 2, 0, 2, 0, 1, 0, 1, 1, 2, 0, 1, 0, 2, 1, 0, 2, 0, 1, 1, 2, 0, 0, 1, 1, 2, 0, 1, 0, 2};

// Rows 0x3C, 0x3E and 0x40 ('<', '>', '@') never appear in a body.
const unsigned char kEncodedScriptTable[128][3] = {
    {0x00, 0x00, 0x00}, {0x01, 0x01, 0x01}, {0x02, 0x02, 0x02}, {0x03, 0x03, 0x03}, {0x04, 0x04, 0x04},
    {0x05, 0x05, 0x05}, {0x06, 0x06, 0x06}, {0x07, 0x07, 0x07}, {0x08, 0x08, 0x08}, {0x7b, 0x57, 0x6e},
    {0x0a, 0x0a, 0x0a}, {0x0b, 0x0b, 0x0b}, {0x0c, 0x0c, 0x0c}, {0x0d, 0x0d, 0x0d}, {0x0e, 0x0e, 0x0e},
    {0x0f, 0x0f, 0x0f}, {0x10, 0x10, 0x10}, {0x11, 0x11, 0x11}, {0x12, 0x12, 0x12}, {0x13, 0x13, 0x13},
    {0x14, 0x14, 0x14}, {0x15, 0x15, 0x15}, {0x16, 0x16, 0x16}, {0x17, 0x17, 0x17}, {0x18, 0x18, 0x18},
    {0x19, 0x19, 0x19}, {0x1a, 0x1a, 0x1a}, {0x1b, 0x1b, 0x1b}, {0x1c, 0x1c, 0x1c}, {0x1d, 0x1d, 0x1d},
    {0x1e, 0x1e, 0x1e}, {0x1f, 0x1f, 0x1f}, {0x32, 0x2e, 0x2d}, {0x30, 0x47, 0x75}, {0x21, 0x7a, 0x52},
    {0x29, 0x56, 0x60}, {0x5b, 0x42, 0x71}, {0x38, 0x6a, 0x5e}, {0x33, 0x2f, 0x49}, {0x3d, 0x26, 0x5c},
    {0x58, 0x49, 0x62}, {0x3a, 0x41, 0x7d}, {0x35, 0x34, 0x29}, {0x65, 0x32, 0x36}, {0x39, 0x5b, 0x20},
    {0x5c, 0x76, 0x7c}, {0x56, 0x72, 0x7a}, {0x73, 0x43, 0x7f}, {0x66, 0x38, 0x6b}, {0x4e, 0x39, 0x63},
    {0x45, 0x70, 0x33}, {0x6b, 0x45, 0x2b}, {0x62, 0x68, 0x68}, {0x59, 0x71, 0x51}, {0x78, 0x4f, 0x66},
    {0x5e, 0x09, 0x76}, {0x7d, 0x62, 0x31}, {0x4a, 0x44, 0x64}, {0x6d, 0x23, 0x54}, {0x71, 0x75, 0x43},
    {0x00, 0x00, 0x00}, {0x60, 0x7e, 0x3a}, {0x00, 0x00, 0x00}, {0x53, 0x5e, 0x7e}, {0x00, 0x00, 0x00},
    {0x42, 0x77, 0x45}, {0x27, 0x4a, 0x2c}, {0x48, 0x61, 0x2a}, {0x72, 0x5d, 0x74}, {0x75, 0x22, 0x27},
    {0x31, 0x4b, 0x37}, {0x37, 0x6f, 0x44}, {0x4d, 0x4e, 0x79}, {0x52, 0x3b, 0x59}, {0x22, 0x4c, 0x2f},
    {0x54, 0x50, 0x6f}, {0x6a, 0x67, 0x26}, {0x47, 0x2a, 0x72}, {0x64, 0x7d, 0x6a}, {0x2d, 0x74, 0x39},
    {0x20, 0x54, 0x7b}, {0x7f, 0x2b, 0x3f}, {0x2e, 0x2d, 0x38}, {0x4c, 0x2c, 0x77}, {0x5d, 0x30, 0x67},
    {0x7e, 0x6e, 0x53}, {0x6c, 0x6b, 0x47}, {0x6f, 0x66, 0x34}, {0x79, 0x35, 0x78}, {0x74, 0x25, 0x5d},
    {0x43, 0x21, 0x30}, {0x26, 0x64, 0x23}, {0x76, 0x4d, 0x5a}, {0x25, 0x52, 0x5b}, {0x24, 0x63, 0x6c},
    {0x2b, 0x3f, 0x48}, {0x28, 0x7b, 0x55}, {0x23, 0x78, 0x70}, {0x41, 0x29, 0x69}, {0x34, 0x28, 0x2e},
    {0x09, 0x73, 0x4c}, {0x2a, 0x59, 0x21}, {0x44, 0x33, 0x24}, {0x3f, 0x7f, 0x4e}, {0x77, 0x6d, 0x50},
    {0x3b, 0x55, 0x09}, {0x55, 0x53, 0x56}, {0x69, 0x7c, 0x73}, {0x61, 0x3a, 0x35}, {0x63, 0x5f, 0x61},
    {0x50, 0x65, 0x4b}, {0x67, 0x46, 0x58}, {0x51, 0x58, 0x3b}, {0x49, 0x31, 0x57}, {0x4f, 0x69, 0x22},
    {0x46, 0x6c, 0x6d}, {0x68, 0x5a, 0x4d}, {0x7c, 0x48, 0x25}, {0x36, 0x27, 0x28}, {0x70, 0x5c, 0x46},
    {0x6e, 0x3d, 0x4a}, {0x7a, 0x24, 0x32}, {0x2f, 0x79, 0x41}, {0x5f, 0x37, 0x3d}, {0x4b, 0x60, 0x5f},
    {0x5a, 0x51, 0x4f}, {0x2c, 0x20, 0x42}, {0x57, 0x36, 0x65}};

namespace {
// inverse[column][plain] = encoded character (0 where none).
struct InverseTable {
  unsigned char map[3][128] = {};
  InverseTable() {
    for (int enc = 0; enc < 128; ++enc) {
      if (enc == '<' || enc == '>' || enc == '@') continue;
      for (int col = 0; col < 3; ++col) {
        unsigned char plain = kEncodedScriptTable[enc][col];
        if (!map[col][plain] && (plain != 0 || enc == 0)) map[col][plain] = static_cast<unsigned char>(enc);
      }
    }
  }
};

std::u16string Base64Number(uint32_t value) {
  static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  unsigned char b[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  const int sixes[6] = {b[0] >> 2, ((b[0] & 3) << 4) | (b[1] >> 4), ((b[1] & 0xf) << 2) | (b[2] >> 6),
                        b[2] & 0x3f, b[3] >> 2, (b[3] & 3) << 4};
  std::u16string out;
  for (int s : sixes) out += static_cast<char16_t>(digits[s]);
  return out + u"==";
}

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool StartsWithNoCase(const std::u16string& text, size_t at, const std::u16string& lowerPrefix) {
  if (at + lowerPrefix.size() > text.size()) return false;
  for (size_t k = 0; k < lowerPrefix.size(); ++k)
    if (LowerAscii(text[at + k]) != lowerPrefix[k]) return false;
  return true;
}

bool EqualsNoCase(const std::u16string& a, const std::u16string& lowerB) {
  return a.size() == lowerB.size() && StartsWithNoCase(a, 0, lowerB);
}

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Where `name` (lower case) as a whole tag name starts at `at`: the name ends
// at a blank, '>', '/' or the end of the text.
bool TagNameIs(const std::u16string& text, size_t at, const std::u16string& lowerName) {
  if (!StartsWithNoCase(text, at, lowerName)) return false;
  size_t end = at + lowerName.size();
  return end == text.size() || IsBlank(text[end]) || text[end] == u'>' || text[end] == u'/';
}

bool IsBlankOnly(const std::u16string& text, size_t from, size_t to) {
  while (from < to && IsBlank(text[from])) ++from;
  return from == to;
}

// The end (just past) of `close` searched from `from`, or npos.
size_t PastNext(const std::u16string& text, const std::u16string& close, size_t from) {
  size_t at = text.find(close, from);
  return at == std::u16string::npos ? at : at + close.size();
}

// One start tag: `<name`, attributes (values quoted or bare) and `>` or `/>`.
struct StartTag {
  size_t end = 0;           // just past the '>'
  bool empty = false;       // closed by "/>"
  size_t languageAt = 0;    // the language attribute's value, when there is one
  size_t languageEnd = 0;
  bool hasLanguage = false;
  bool hasSource = false;   // a src attribute: the code is in another file
  size_t typeAt = 0;        // the type attribute's value, when there is one
  size_t typeEnd = 0;
  bool hasType = false;
};

// Reads the start tag whose name begins at `nameAt` (just past '<'); false
// when the text ends before its '>'.
bool ReadStartTag(const std::u16string& text, size_t nameAt, StartTag& tag) {
  const size_t n = text.size();
  size_t i = nameAt;
  while (i < n && !IsBlank(text[i]) && text[i] != u'>' && text[i] != u'/') ++i;
  for (;;) {
    while (i < n && IsBlank(text[i])) ++i;
    if (i >= n) return false;
    if (text[i] == u'>') {
      tag.end = i + 1;
      return true;
    }
    if (text[i] == u'/') {
      if (i + 1 < n && text[i + 1] == u'>') {
        tag.end = i + 2;
        tag.empty = true;
        return true;
      }
      ++i;
      continue;
    }
    const size_t nameStart = i;
    while (i < n && !IsBlank(text[i]) && text[i] != u'=' && text[i] != u'>' && text[i] != u'/') ++i;
    const size_t nameEnd = i;
    while (i < n && IsBlank(text[i])) ++i;
    if (i >= n || text[i] != u'=') {
      if (nameEnd == nameStart) ++i;  // a stray character: no attribute
      continue;
    }
    ++i;
    while (i < n && IsBlank(text[i])) ++i;
    if (i >= n) return false;
    size_t valueAt, valueEnd;
    if (text[i] == u'"' || text[i] == u'\'') {
      valueAt = i + 1;
      valueEnd = text.find(text[i], valueAt);
      if (valueEnd == std::u16string::npos) return false;
      i = valueEnd + 1;
    } else {
      valueAt = i;
      while (i < n && !IsBlank(text[i]) && text[i] != u'>' && !(text[i] == u'/' && i + 1 < n && text[i + 1] == u'>'))
        ++i;
      valueEnd = i;
    }
    const std::u16string name = text.substr(nameStart, nameEnd - nameStart);
    if (!tag.hasLanguage && EqualsNoCase(name, u"language")) {
      tag.hasLanguage = true;
      tag.languageAt = valueAt;
      tag.languageEnd = valueEnd;
    }
    if (!tag.hasType && EqualsNoCase(name, u"type")) {
      tag.hasType = true;
      tag.typeAt = valueAt;
      tag.typeEnd = valueEnd;
    }
    if (EqualsNoCase(name, u"src")) tag.hasSource = true;
  }
}

// The encoded language for a language value, or empty when the value names
// no language the script engines decode.
std::u16string EncodedLanguage(const std::u16string& value) {
  if (EqualsNoCase(value, u"jscript") || EqualsNoCase(value, u"javascript")) return u"JScript.Encode";
  if (EqualsNoCase(value, u"vbscript")) return u"VBScript.Encode";
  return std::u16string();
}

// Where the code of a body [from, to) lies: the whole body, or the inside of
// a CDATA section (the first one at `cdata`) that is all the body holds
// besides blanks. False when the body mixes code with a CDATA section.
bool CodeOfBody(const std::u16string& text, size_t from, size_t to, size_t cdata, size_t& codeAt, size_t& codeEnd) {
  if (cdata == std::u16string::npos) {
    codeAt = from;
    codeEnd = to;
    return true;
  }
  size_t first = from;
  while (first < to && IsBlank(text[first])) ++first;
  size_t last = to;
  while (last > from && IsBlank(text[last - 1])) --last;
  codeAt = cdata + 9;
  codeEnd = text.find(u"]]>", codeAt);
  return first == cdata && codeEnd != std::u16string::npos && codeEnd + 3 == last;
}

// The bodies of <script> elements whose language attribute names JScript or
// VBScript are encoded and that attribute marked; everything else, other
// elements, comments and CDATA sections outside scripts, is copied as it is.
std::u16string EncodeScriptElements(const std::u16string& text) {
  // A document declared as XML is read strictly: an encoded block, which may
  // hold '&', goes into a CDATA section, and a body that may hold entities
  // (a '&') stays as it is.
  size_t first = 0;
  while (first < text.size() && (IsBlank(text[first]) || text[first] == 0xFEFF)) ++first;
  const bool strictXml = StartsWithNoCase(text, first, u"<?xml");
  std::u16string out;
  size_t copied = 0;  // text before this is in `out`
  ForEachScriptElement(text, [&](const ScriptElement& element) {
    // A marked language would apply to the file a src attribute names too.
    const std::u16string marked =
        element.hasLanguage && !element.hasSource ? EncodedLanguage(element.Language(text)) : std::u16string();
    if (marked.empty() || !element.codeFound || IsBlankOnly(text, element.codeAt, element.codeEnd)) return;
    const bool wrap = strictXml && !element.inCdata;
    if (wrap && std::find(text.begin() + element.codeAt, text.begin() + element.codeEnd, u'&') !=
                    text.begin() + element.codeEnd)
      return;
    out.append(text, copied, element.languageAt - copied);
    out += marked;
    out.append(text, element.languageEnd, element.codeAt - element.languageEnd);
    const std::u16string block = EncodeScriptBlock(text.substr(element.codeAt, element.codeEnd - element.codeAt));
    out += wrap ? u"<![CDATA[" + block + u"]]>" : block;
    copied = element.codeEnd;
  });
  out.append(text, copied, std::u16string::npos);
  return out;
}
}  // namespace

void ForEachScriptElement(const std::u16string& text, const std::function<void(const ScriptElement&)>& visit) {
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (text[i] != u'<') {
      ++i;
      continue;
    }
    if (StartsWithNoCase(text, i, u"<!--")) {
      i = PastNext(text, u"-->", i + 4);
    } else if (StartsWithNoCase(text, i, u"<![cdata[")) {
      i = PastNext(text, u"]]>", i + 9);
    } else if (i + 1 < n && (text[i + 1] == u'!' || text[i + 1] == u'?' || text[i + 1] == u'/')) {
      i = PastNext(text, u">", i + 1);
    } else if (i + 1 < n && IsAsciiLetter(text[i + 1])) {
      StartTag tag;
      if (!ReadStartTag(text, i + 1, tag)) return;
      const bool script = TagNameIs(text, i + 1, u"script");
      i = tag.end;
      if (!script || tag.empty) continue;
      // The body runs to "</script" as a whole name; a CDATA section may hold one.
      size_t close = tag.end, cdata = std::u16string::npos;
      while (close < n) {
        if (StartsWithNoCase(text, close, u"<![cdata[")) {
          if (cdata == std::u16string::npos) cdata = close;
          close = PastNext(text, u"]]>", close + 9);
          if (close == std::u16string::npos) close = n;
        } else if (text[close] == u'<' && close + 1 < n && text[close + 1] == u'/' && TagNameIs(text, close + 2, u"script")) {
          break;
        } else {
          ++close;
        }
      }
      if (close >= n) return;  // an element that never ends ends the scan
      i = close;
      ScriptElement element;
      element.hasLanguage = tag.hasLanguage;
      element.languageAt = tag.languageAt;
      element.languageEnd = tag.languageEnd;
      element.hasSource = tag.hasSource;
      element.hasType = tag.hasType;
      element.typeAt = tag.typeAt;
      element.typeEnd = tag.typeEnd;
      element.inCdata = cdata != std::u16string::npos;
      element.codeFound = CodeOfBody(text, tag.end, close, cdata, element.codeAt, element.codeEnd);
      visit(element);
    } else {
      ++i;  // a '<' that starts no tag
    }
  }
}

std::u16string EncodeScriptBlock(const std::u16string& text) {
  static const InverseTable inverse;
  std::u16string body;
  uint32_t checksum = 0;
  size_t position = 0;
  for (char16_t c : text) {
    checksum += c;
    switch (c) {
      case u'\r': body += u"@#"; break;
      case u'\n': body += u"@&"; break;
      case u'<': body += u"@!"; break;
      case u'>': body += u"@*"; break;
      case u'@': body += u"@$"; break;
      default:
        body += c < 128 ? static_cast<char16_t>(inverse.map[kEncodedScriptPick[position % 64]][c]) : c;
    }
    ++position;
  }
  return u"#@~^" + Base64Number(static_cast<uint32_t>(body.size())) + body + Base64Number(checksum) + u"^#~@";
}

bool EncodeScriptText(const std::u16string& kind, const std::u16string& text, std::u16string& out) {
  if (EqualsNoCase(kind, u".js") || EqualsNoCase(kind, u".vbs")) {
    out = EncodeScriptBlock(text);
    return true;
  }
  if (EqualsNoCase(kind, u".sct") || EqualsNoCase(kind, u".htm")) {
    out = EncodeScriptElements(text);
    return true;
  }
  return false;
}
