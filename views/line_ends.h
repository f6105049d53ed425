// Line-end normalisation of byte text, without any Windows header.
#pragma once

// Copies the NUL-terminated `source` to `destination`, turning every CR LF,
// lone CR and lone LF into CR LF, and writes the terminating NUL. Returns the
// length written without the NUL; with a null destination only counts.
int NormalizeLineEndsTo(const char* source, char* destination);
