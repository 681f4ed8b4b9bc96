// Where the index fuzz target and its seeds put the lists they set: the
// alphabet's codes and the first variant groups' codes, in this order.
// Where their entries lie in the header: engine/indexformat.h.
#ifndef CODEXA_FUZZ_INDEXCODES_H_
#define CODEXA_FUZZ_INDEXCODES_H_

#include <cstdint>

#include "engine/codeconverter.h"

namespace codexa::fuzz {

constexpr int32_t kListedCodes[] = {6656, 6657, 6658, 6659, 6660, 6661, 6662, 6663,
                                    kFirstGroupCode, kFirstGroupCode + 1, kFirstGroupCode + 2,
                                    kFirstGroupCode + 3};

}  // namespace codexa::fuzz

#endif  // CODEXA_FUZZ_INDEXCODES_H_
