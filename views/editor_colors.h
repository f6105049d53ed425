// The five editor colours shared by the main frame, the views and the font
// and colour dialog; colour values have red in the low byte.
#pragma once
#include <cstdint>

struct EditorColors {
  uint32_t keyword = 0xFF0000;     // blue
  uint32_t comment = 0x0000C0;     // dark red
  uint32_t string = 0x808000;      // teal
  uint32_t text = 0x000000;        // black
  uint32_t background = 0xFFFFFF;  // white
};
