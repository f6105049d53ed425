// Path and byte-string helpers in the code-page 932 sense (a trail byte that
// looks like '\' is not a separator), without any Windows header.
#pragma once
#include <functional>
#include <string>

// Offset of the last '\', '/' or ':' (npos when none).
size_t LastPathSeparator(const std::string& path);
// The path with its last component removed, without the separator; a drive
// root keeps its backslash ("C:\"). Empty when the path has no folder.
std::string PathFolder(const std::string& path);
// The path up to and including its last separator (empty when none).
std::string PathFolderWithSeparator(const std::string& path);
// Offset of the dot of the last component's extension (npos when none).
size_t PathExtensionDot(const std::string& path);
// At most `limit` bytes of `text`, never ending inside a double-byte character.
std::string LimitBytes(const std::string& text, size_t limit);
// `text` with line breaks added so that every line fits: `fits(line, length)`
// says whether a line of that many bytes may stand. A line that is too long is
// broken after its last blank or path separator that fits, else at the last
// character that fits (never inside a double-byte character); each line keeps
// at least one character. Existing line breaks stay.
std::string BreakLongLines(const std::string& text, const std::function<bool(const char*, size_t)>& fits);
