// The list bytes of a page-count table as they are written, each list
// written once: a list equal to one before is referred to instead
// (format: engine/indexformat.h).
#ifndef CODEXA_WRITER_PAGECOUNTSTORE_H_
#define CODEXA_WRITER_PAGECOUNTSTORE_H_

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace codexa::writer {

class PageCountStore {
 public:
  // Where a list's bytes are.
  struct Place {
    uint64_t offset = 0;
    uint64_t length = 0;
    bool written = false;  // true: just appended; false: an equal list's
  };

  // Appends the list of `pages` and `counts` (engine/pagecountlist.h) and
  // answers where it went.
  Place Append(const std::vector<uint32_t>& pages, const std::vector<uint32_t>& counts);
  // The same, but an equal list already written is used instead.
  Place Share(const std::vector<uint32_t>& pages, const std::vector<uint32_t>& counts);

  const std::string& bytes() const { return m_bytes; }
  // The bytes, leaving the store empty.
  std::string TakeBytes() {
    m_byHash = {};
    return std::move(m_bytes);
  }

 private:
  Place Put(const std::vector<uint32_t>& pages, const std::vector<uint32_t>& counts, bool mayShare);

  std::string m_bytes;
  std::string m_list;  // the list being placed
  // The hash of a list's bytes -> the place of the first list with it.
  std::unordered_map<uint64_t, Place> m_byHash;
};

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_PAGECOUNTSTORE_H_
