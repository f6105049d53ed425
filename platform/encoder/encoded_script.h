// The system's encoded-script form, without any Windows header. An encoded
// block is "#@~^", the body's length, the body, its checksum and "^#~@"; the
// length and the checksum are 32-bit little-endian numbers written as six
// base64 digits and "==". In the body CR, LF, '<', '>' and '@' are written as
// "@#", "@&", "@!", "@*" and "@$"; every other character below 128 is replaced
// by the character whose entry in kEncodedScriptTable, in the column that
// kEncodedScriptPick gives for the character's position (mod 64), is it.
// Characters from 128 up are kept. Escapes count two in the length and one
// position; the checksum is the sum of the plain characters.
#pragma once
#include <functional>
#include <string>

extern const unsigned char kEncodedScriptPick[64];
// Row: an encoded character; columns: the plain character it stands for in each column.
extern const unsigned char kEncodedScriptTable[128][3];

// A <script> element with a body, as the encoder reads it: tags read whole
// (quoted values, "/>" an empty element, which has no body), the body running
// to "</script" as a whole name outside CDATA sections; comments skipped.
struct ScriptElement {
  bool hasLanguage = false;  // the language attribute's value is [languageAt, languageEnd)
  size_t languageAt = 0;
  size_t languageEnd = 0;
  bool hasSource = false;  // a src attribute: the code is in another file
  bool hasType = false;    // the type attribute's value is [typeAt, typeEnd)
  size_t typeAt = 0;
  size_t typeEnd = 0;
  // The code: the whole body, or the inside of a CDATA section that is all
  // the body holds besides blanks. False when the body mixes code with one.
  bool codeFound = false;
  bool inCdata = false;  // the body holds a CDATA section
  size_t codeAt = 0;
  size_t codeEnd = 0;
  std::u16string Language(const std::u16string& text) const {
    return text.substr(languageAt, languageEnd - languageAt);
  }
  std::u16string Type(const std::u16string& text) const { return text.substr(typeAt, typeEnd - typeAt); }
};
// Calls `visit` for each <script> element with a body, in the text's order; an
// element that never ends, or a tag cut off by the text's end, ends the scan.
void ForEachScriptElement(const std::u16string& text, const std::function<void(const ScriptElement&)>& visit);

// One encoded block for `text`.
std::u16string EncodeScriptBlock(const std::u16string& text);
// The encoder's kinds: ".js" and ".vbs" encode the whole text; ".sct" and
// ".htm" encode the body of each <script> element whose language attribute
// names JScript (or JavaScript) or VBScript, holds code and has no src
// attribute, and mark exactly that attribute "JScript.Encode" or "VBScript.Encode". Tags are read whole (quoted values,
// "/>" an empty element); a body that is one CDATA section is encoded inside
// it, and a CDATA section ends only at "]]>". In a document declared as XML
// ("<?xml") a plain body is encoded into a new CDATA section, or left as it
// is when it holds a '&'. Every other byte, other bodies included, is kept. False, `out` untouched, for any other kind.
bool EncodeScriptText(const std::u16string& kind, const std::u16string& text, std::u16string& out);
