// Instruction-set extensions beyond the x86-64 baseline that faster forms of some loops
// use, looked up once at start-up. Both are false on other processors.
#pragma once

// Set where code for these extensions can be compiled at all (x86-64 with GCC or Clang,
// which take per-function target attributes); the forms using them are built only then.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define CORVANEL_X86_EXTENSIONS 1
#include <immintrin.h>
#endif

namespace corvanel {

extern const bool kHasCarrylessMultiply;  // PCLMULQDQ, with the SSSE3 that comes with it
extern const bool kHasByteShuffle;        // SSSE3's PSHUFB

}  // namespace corvanel
