// What the program and the stand-in encoder server agree on: the class that
// "Scripting.Encoder" names on Windows, which the server offers, and the
// server's file name beside the program.
#pragma once
#include <guiddef.h>

inline constexpr CLSID kEncoderClsid = {0x32DA2B15, 0xCFED, 0x11D1, {0xB7, 0x47, 0x00, 0xC0, 0x4F, 0xC2, 0xB0, 0x85}};
inline constexpr char kEncoderDllName[] = "ruvelto_encoder.dll";
