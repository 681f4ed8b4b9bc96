// Where the index fuzz target and its seeds put the lists they set: the
// alphabet's codes and the first variant groups' codes, in this order.
#ifndef CODEXA_FUZZ_INDEXCODES_H_
#define CODEXA_FUZZ_INDEXCODES_H_

#include <cstddef>
#include <cstdint>

#include "engine/codeconverter.h"

namespace codexa::fuzz {

constexpr int32_t kListedCodes[] = {6656, 6657, 6658, 6659, 6660, 6661, 6662, 6663,
                                    kFirstGroupCode, kFirstGroupCode + 1, kFirstGroupCode + 2,
                                    kFirstGroupCode + 3};

// The layout of "-idx.h": four tables of kIndexCodeCount entries (first
// block, 16-bit, 32-bit, last page), then the block chain.
constexpr size_t kFirstBlockTableSize = size_t{kIndexCodeCount} * 4;
constexpr size_t kHeaderTablesSize = size_t{kIndexCodeCount} * (4 + 2 + 4 + 4);
constexpr size_t FirstBlockOffset(int32_t code) { return size_t(code) * 4; }
// The two tables the format leaves to the builder: skip table format and
// location.
constexpr size_t SkipFormatOffset(int32_t code) { return size_t{kIndexCodeCount} * 4 + size_t(code) * 2; }
constexpr size_t SkipLocationOffset(int32_t code) { return size_t{kIndexCodeCount} * 6 + size_t(code) * 4; }
constexpr size_t LastPageOffset(int32_t code) { return size_t{kIndexCodeCount} * 10 + size_t(code) * 4; }

}  // namespace codexa::fuzz

#endif  // CODEXA_FUZZ_INDEXCODES_H_
