// What the fuzz drivers of the text model and of the undo history share: the
// fuzzer's bytes read as small numbers, and a check that ends the run (the
// fuzzer then keeps the input). No Windows header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#define FUZZ_CHECK(cond)       \
  do {                         \
    if (!(cond)) std::abort(); \
  } while (0)

// Reads the fuzzer's bytes; zeros once they run out.
struct FuzzInput {
  const uint8_t* p;
  size_t n;
  unsigned Next() { return n ? (--n, *p++) : 0; }
  // A number in [0, bound), 0 for bound 0.
  unsigned Below(unsigned bound) { return bound ? (Next() | Next() << 8) % bound : 0; }
};
