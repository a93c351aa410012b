// Instruction-set extensions beyond the x86-64 baseline that faster forms of some loops
// use, looked up once at start-up. Both are false on other processors.
#pragma once

namespace corvanel {

extern const bool kHasCarrylessMultiply;  // PCLMULQDQ
extern const bool kHasByteShuffle;        // SSSE3's PSHUFB

}  // namespace corvanel
