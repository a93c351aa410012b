#include "util/processor.h"

namespace corvanel {

#if defined(CORVANEL_X86_EXTENSIONS)
const bool kHasByteShuffle = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3") != 0);
// Defined after kHasByteShuffle, so that it is set first.
const bool kHasCarrylessMultiply = kHasByteShuffle && __builtin_cpu_supports("pclmul") != 0;
#else
const bool kHasCarrylessMultiply = false;
const bool kHasByteShuffle = false;
#endif

}  // namespace corvanel
