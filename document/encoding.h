// Text encodings of script files: guessing a file's encoding and converting
// between Shift-JIS (code page 932, the form all text takes inside the editor)
// and EUC-JP, JIS (ISO-2022-JP) and UTF-8.
//
// The tests and the four byte converters work on zero-terminated byte strings:
// the text ends at the first zero byte, and nothing after it is read. A
// double-byte character whose second byte would be that zero is "truncated":
// the loading converters keep its lead byte, the saving ones write the geta
// mark for it. The converters never fail: what they cannot carry over becomes
// a fixed stand-in, and the saving ones count it (see each function). None of
// the functions keeps state between calls.
//
// Everything here is pure byte code (no Windows header): encoding.cpp holds
// the tests and the EUC-JP and JIS converters, encoding_utf8.cpp the UTF-8
// conversions over code page 932 tables generated from the system's converter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The encoding in which a document's file is read and written. The values are
// also the detection codes of the four encodings; they are kept in memory only.
enum class TextEncoding : int {
  EucJp = 1,
  ShiftJis = 2,  // code page 932, the internal form; new documents use it
  Jis = 4,       // ISO-2022-JP with the escapes listed at JisToShiftJis
  Utf8 = 8,      // without byte-order mark
};

// Result of DetectEncoding.
enum class DetectionCode : int {
  Ascii = 0,  // nothing but plain 7-bit text
  EucJp = 1,
  ShiftJis = 2,
  Jis = 4,
  Utf8 = 8,
  Undetermined = 16,
};

// The encoding a document takes for a detection result: Ascii and Undetermined
// become ShiftJis, the other codes the encoding of the same value.
TextEncoding EncodingFromDetection(DetectionCode code);

// ---- Tests (zero-terminated input; an empty text passes all but HasJisEscape)

// Every byte is 09, 0A, 0D or 20-7F.
bool IsAsciiText(const char* text);
// Some byte 1B is directly followed by 24 ("$") or 28 ("(").
bool HasJisEscape(const char* text);
// Pairs A1-FE + A1-FE, 8E + (21-5F or A1-DF), and single bytes below 80 only.
// The three-byte form 8F xx xx is not accepted.
bool IsEucText(const char* text);
// Two- and three-byte UTF-8 forms (C2-DF x, E0-EF x x with x in 80-BF) and
// single bytes below 80 only; four-byte forms and stray continuations fail.
bool IsUtf8Text(const char* text);
// No A0 or FD-FF, and every lead byte (81-9F, E0-EA, ED-EE, FA-FC) is followed
// by 40-FC other than 7F. 80, A1-DF, EB, EC and EF-F9 pass as single bytes.
bool IsShiftJisText(const char* text);

// Runs the tests in this fixed order and answers at the first that holds:
// IsAsciiText -> Ascii, HasJisEscape -> Jis, IsEucText -> EucJp,
// IsUtf8Text -> Utf8, IsShiftJisText -> ShiftJis, otherwise Undetermined.
// Consequences worth knowing: text with a stray control byte such as 0C but no
// 8-bit byte is EucJp; Shift-JIS made of ASCII and pairs of half-width
// katakana is EucJp; UTF-8 whose bytes happen to pass the EUC test is EucJp.
DetectionCode DetectEncoding(const char* text);

// ---- Byte converters ------------------------------------------------------
// Each returns the length of the zero-terminated result it wrote at the start
// of `buffer`. None of them writes a zero byte for input without one, so that
// length is the whole result: HoldsNoZero(buffer, length) holds. Only a zero
// in the input (which ends the text) shortens what they read.
//
// Loading (EUC-JP or JIS to Shift-JIS): pairs go through the standard JIS X
// 0208 arithmetic; a pair whose result is no Shift-JIS double-byte character
// (lead 81-9F or E0-FC, trail 40-7E or 80-FC), which only malformed input
// gives, becomes the geta mark 〓 (81 AC) instead.
//
// Saving (Shift-JIS to EUC-JP or JIS) walks code page 932 characters as
// platform/cp932.h counts them. EUC-JP and JIS hold the 94 x 94 cells with
// lead bytes 81-9F and E0-EF, NEC row 13 (87) and the NEC-selected IBM rows
// (ED, EE) included, and so are the cells code page 932 leaves undefined in
// those rows: all keep the arithmetic and read back unchanged. The rest
// cannot be held: the IBM extensions (FA-FC), the user-defined area
// (F0-F9), a lead byte without its trail byte and the bytes 80, A0 and FD-FF.
// Each is written as the geta mark (EUC-JP A2 AE, JIS 22 2E in two-byte mode)
// and counted in `unmappable`, when given (zero means nothing was lost).

// True when the `length` bytes at `text` hold no zero byte: the zero-terminated
// result is all of it (strlen(text) == length).
inline bool HoldsNoZero(const char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] == '\0') return false;
  }
  return true;
}

// JIS to Shift-JIS, in place; the result is never longer than the input.
// Starts in ASCII mode. Read: ESC $ B and ESC $ @ (two-byte), ESC ( B,
// ESC ( J and SI (ASCII), ESC ( I and SO (half-width katakana, written as
// byte + 80). An ESC that starts none of these is an ordinary byte of the
// current mode. Modes apply to every byte, control bytes too: in two-byte
// mode every two bytes form one character (CR LF there is no character and
// becomes the geta mark) and in katakana mode every byte below 80 gets 80
// added, CR and LF included, so well-formed JIS returns to ASCII before each
// line end (as ShiftJisToJis writes it). In katakana mode bytes from 80 up
// are copied. A pair cut short by the end of the text leaves its first byte.
std::size_t JisToShiftJis(char* buffer);

// EUC-JP to Shift-JIS, in place; never longer. Every byte from 80 up takes
// the next byte as its pair. 8E xx becomes one half-width katakana byte; 8F
// is converted as the lead byte of a pair like any other (no three-byte
// form). A pair cut short by the end of the text leaves its first byte.
std::size_t EucToShiftJis(char* buffer);

// Shift-JIS to EUC-JP. `buffer` must hold ShiftJisToEucCapacity(strlen(buffer))
// bytes (twice the length plus one): the input is first moved to the end of
// that space and the result written from the start, so the whole space may
// be overwritten. Half-width katakana become 8E xx.
std::size_t ShiftJisToEuc(char* buffer, std::size_t* unmappable = nullptr);
constexpr std::size_t ShiftJisToEucCapacity(std::size_t length) { return 2 * length + 1; }

// Shift-JIS to JIS. `buffer` must hold ShiftJisToJisCapacity(strlen(buffer))
// bytes, used as by ShiftJisToEuc; that is the worst case: every change of mode
// adds three bytes, so a geta mark between ASCII bytes costs five and the
// ASCII byte after it four, nine bytes for each two input bytes; then three
// for the final return to ASCII and one for the zero. Writes only ESC $ B,
// ESC ( I and ESC ( B; the result always ends in ASCII mode, and each line
// returns to ASCII before its CR LF.
std::size_t ShiftJisToJis(char* buffer, std::size_t* unmappable = nullptr);
constexpr std::size_t ShiftJisToJisCapacity(std::size_t length) { return (9 * length + 1) / 2 + 4; }

// ---- UTF-8 ---------------------------------------------------------------------
//
// One pass each, through code page 932 tables made from the system's own
// converter (encoding_utf8.cpp, cp932_table.inc): the bytes are those the
// system's conversions through UTF-16 give, which the oracle tests check for
// every cell and every UTF-16 code unit. Characters that code page 932 cannot
// hold do not survive: the system's default character "?" or a look-alike
// takes their place, and a document opened and saved again keeps the
// replacement. `unmappable`, when given, receives how many characters had no
// counterpart, so that the caller can warn the user (zero means the
// conversion lost nothing); counting costs next to nothing and changes no
// byte. Neither function writes a zero byte for input without one.

// The JIS forms. Six cells of row 1 are read by code page 932 as other code
// points than the JIS tables give them, and Japanese UTF-8 text uses both:
//   81 60 〜  U+FF5E (code page 932)  U+301C (JIS)
//   81 61 ‖  U+2225                  U+2016
//   81 7C −  U+FF0D                  U+2212
//   81 91 ¢  U+FFE0                  U+00A2
//   81 92 £  U+FFE1                  U+00A3
//   81 CA ¬  U+FFE2                  U+00AC
// Loading reads either form as the cell and notes which form each cell came
// in; saving writes each cell in the form noted, so that a file that writes
// each of these characters one way comes back byte for byte.
struct Utf8Forms {
  std::uint8_t jisCells = 0;  // bit i: the i-th cell above is written in its JIS form
  friend bool operator==(Utf8Forms a, Utf8Forms b) { return a.jisCells == b.jisCells; }
  friend bool operator!=(Utf8Forms a, Utf8Forms b) { return !(a == b); }
};

// What loading found of the six cells. A cell that the file writes both ways
// takes the form more of its characters use (on a tie, code page 932's); the
// characters in the other form are counted, since a save writes them in the
// chosen one.
struct Utf8FormsRead {
  Utf8Forms forms;
  std::size_t otherForm = 0;
};

// UTF-8 to Shift-JIS, in place. `byteCount` is the file's length, zero bytes
// included; `buffer` holds byteCount + 1 bytes. A leading byte-order mark
// (EF BB BF) is dropped. Malformed UTF-8 reads as the system reads it: each
// malformed sequence is one U+FFFD, written "?" and counted (a lead byte too
// near the end for its sequence takes the rest of the text). A character
// beyond U+FFFF is written "??" (its two surrogates) and counted once. A
// character is unmappable when code page 932 has no code for it or gives it
// one that reads back as a different character (best fit, e.g. U+00A5 -> 5C).
// The JIS forms above are no such characters: they become their cells, and
// `forms`, when given, receives what was found of them.
// The result is never longer than the input and is zero-terminated; returns
// its length.
std::size_t Utf8ToShiftJis(char* buffer, std::size_t byteCount,
                           std::size_t* unmappable = nullptr, Utf8FormsRead* forms = nullptr);

// The UTF-16 unit the system reads one code page 932 character as: `code` is
// a single byte (below 0x100) or a pair lead << 8 | trail whose trail byte is
// valid (cp932_table::StartsPair). An undefined pair reads as its lead byte.
std::uint16_t Cp932CharToUnit(unsigned code);

// Shift-JIS to UTF-8 without byte-order mark. The whole of `text` is
// converted, zero bytes included, one character at a time as platform/cp932.h
// counts them (a lead byte without a valid trail byte is a character alone,
// and the byte after it keeps its own meaning). A character is unmappable
// when code page 932 does not define it (undefined cells, a lead byte alone,
// the bytes A0 and FD-FF); it is written as the system reads it: U+30FB for an
// undefined cell or a lone lead byte, U+F8F0-U+F8F3 for A0 and FD-FF. The six
// cells of the JIS forms are written in the form `forms` gives them.
std::string ShiftJisToUtf8(std::string_view text, std::size_t* unmappable = nullptr, Utf8Forms forms = {});
