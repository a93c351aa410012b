#include "util/processor.h"

namespace corvanel {

namespace {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
bool Has(bool (*check)()) {
  __builtin_cpu_init();
  return check();
}
#define CORVANEL_HAS(feature) Has([] { return __builtin_cpu_supports(feature) != 0; })
#else
#define CORVANEL_HAS(feature) false
#endif

}  // namespace

const bool kHasCarrylessMultiply = CORVANEL_HAS("pclmul");
const bool kHasByteShuffle = CORVANEL_HAS("ssse3");

}  // namespace corvanel
