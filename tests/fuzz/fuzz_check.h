// The check of the byte-oriented fuzz drivers: a broken property prints what
// broke and the input in hex, then ends the run so the fuzzer keeps the input.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

inline void Check(bool ok, const char* what, const std::string& input) {
  if (ok) return;
  std::fprintf(stderr, "broken: %s; input:", what);
  for (unsigned char c : input) std::fprintf(stderr, " %02X", c);
  std::fprintf(stderr, "\n");
  std::abort();
}
