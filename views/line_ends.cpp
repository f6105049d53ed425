// Line-end normalisation.
#include "views/line_ends.h"

int NormalizeLineEndsTo(const char* source, char* destination) {
  int n = 0;
  for (const char* p = source; *p; ++p) {
    if (*p == '\r' || *p == '\n') {
      if (*p == '\r' && p[1] == '\n') ++p;
      if (destination) {
        destination[n] = '\r';
        destination[n + 1] = '\n';
      }
      n += 2;
    } else {
      if (destination) destination[n] = *p;
      ++n;
    }
  }
  if (destination) destination[n] = '\0';
  return n;
}
