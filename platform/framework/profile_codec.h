// Text forms of profile values, without any Windows header: the byte-string
// form (two letters A..P per byte, low nibble first) and the shortened display
// of a path for menus.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

std::string EncodeProfileBytes(const void* data, size_t size);
// Letters outside A..P make the whole value unreadable (nullopt); an odd
// trailing letter is ignored.
std::optional<std::vector<uint8_t>> DecodeProfileBytes(const std::string& text);

// A path shortened to at most `maxChars` bytes for a menu: the root, "...",
// and as many trailing folders as fit before the file name; only the file name
// when even that does not fit. Never splits a double-byte character.
std::string AbbreviatePath(const std::string& path, size_t maxChars);

