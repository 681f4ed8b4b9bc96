#include "tools/build/textsource.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <utility>

#include "tools/build/textnormalize.h"
#include "tools/build/utf8.h"

namespace codexa::build {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
constexpr std::string_view kVolumeSuffix = ".txt";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A line without the ASCII white space and ideographic spaces around it.
std::string_view Trimmed(std::string_view line) {
  while (true) {
    if (!line.empty() && IsAsciiSpace(line.front())) {
      line.remove_prefix(1);
    } else if (!line.empty() && IsAsciiSpace(line.back())) {
      line.remove_suffix(1);
    } else if (line.starts_with(kIdeographicSpace)) {
      line.remove_prefix(kIdeographicSpace.size());
    } else if (line.ends_with(kIdeographicSpace)) {
      line.remove_suffix(kIdeographicSpace.size());
    } else {
      return line;
    }
  }
}

// Takes the first line off `text` and answers it. A line ends at LF, at
// CR LF, or at a CR alone, as older editors end them.
std::string_view TakeLine(std::string_view& text) {
  const size_t end = text.find_first_of("\r\n");
  const std::string_view line = text.substr(0, end);
  if (end == std::string_view::npos) {
    text = {};
  } else {
    text.remove_prefix(text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1);
  }
  return line;
}

// "line 3, byte 17" for the byte at `offset`, both counted from 1, lines
// ending as TakeLine ends them.
std::string PlaceOf(std::string_view text, size_t offset) {
  size_t line = 1, lineStart = 0;
  for (size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && text.substr(i + 1, 1) != "\n")) {
      ++line;
      lineStart = i + 1;
    }
  }
  return "line " + std::to_string(line) + ", byte " + std::to_string(offset - lineStart + 1);
}

std::string Relative(const fs::path& path, const fs::path& root) {
  return path.lexically_relative(root).generic_string();
}

class TextSource {
 public:
  TextSource(fs::path root, CorpusBuilder& builder, Progress& progress)
      : m_root(std::move(root)), m_builder(builder), m_progress(progress) {}

  TextSourceReport Read() {
    std::error_code ec;
    if (!fs::is_directory(m_root, ec)) throw BuildError("texts: " + m_root.string() + " is not a folder");
    const std::vector<fs::directory_entry> categories = Entries(m_root);
    m_progress.Start("texts", TotalBytes(categories));
    for (const fs::directory_entry& category : categories) {
      if (!AcceptFolder(category)) continue;
      m_builder.StartCategory(NameOf(category.path()));
      for (const fs::directory_entry& work : Entries(category.path())) {
        if (!AcceptFolder(work)) continue;
        m_builder.StartWork(NameOf(work.path()));
        for (const fs::directory_entry& volume : Entries(work.path())) {
          if (AcceptVolume(volume)) ReadVolume(volume.path());
        }
      }
    }
    m_progress.Finish();
    return std::move(m_report);
  }

 private:
  // The entries of `folder` in name order, hidden ones left out.
  std::vector<fs::directory_entry> Entries(const fs::path& folder) const {
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      if (!it->path().filename().string().starts_with('.')) entries.push_back(*it);
    }
    if (ec) throw BuildError("texts: cannot read the folder " + folder.string() + ": " + ec.message());
    std::sort(entries.begin(), entries.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
      return NaturalLess(a.path().filename().string(), b.path().filename().string());
    });
    return entries;
  }

  static bool IsVolumeFile(const fs::directory_entry& entry) {
    std::error_code ec;
    return entry.is_regular_file(ec) && entry.path().filename().string().ends_with(kVolumeSuffix);
  }

  uint64_t TotalBytes(const std::vector<fs::directory_entry>& categories) const {
    uint64_t total = 0;
    std::error_code ec;
    for (const fs::directory_entry& category : categories) {
      if (!category.is_directory(ec)) continue;
      for (const fs::directory_entry& work : Entries(category.path())) {
        if (!work.is_directory(ec)) continue;
        for (const fs::directory_entry& volume : Entries(work.path())) {
          if (IsVolumeFile(volume)) total += volume.file_size(ec);
        }
      }
    }
    return total;
  }

  // Whether `entry` is a folder; anything else is noted as passed over.
  bool AcceptFolder(const fs::directory_entry& entry) {
    std::error_code ec;
    if (entry.is_directory(ec)) return true;
    m_report.passedOver.push_back(Relative(entry.path(), m_root));
    return false;
  }

  // Whether `entry` is a volume file; anything else is noted as passed over.
  bool AcceptVolume(const fs::directory_entry& entry) {
    if (IsVolumeFile(entry)) return true;
    m_report.passedOver.push_back(Relative(entry.path(), m_root));
    return false;
  }

  // A catalogue name from a file name; it must be UTF-8.
  std::string NameOf(const fs::path& path) const {
    const std::string name = path.filename().string();
    if (FindInvalidUtf8(name) != std::string::npos) {
      throw BuildError("texts: the name of " + Relative(path, m_root) + " is not UTF-8");
    }
    return name;
  }

  void ReadVolume(const fs::path& file) {
    const std::string relative = Relative(file, m_root);
    std::string name = NameOf(file);
    name.resize(name.size() - kVolumeSuffix.size());
    const std::string text = ReadFile(file, relative);
    if (const size_t bad = FindInvalidUtf8(text); bad != std::string::npos) {
      throw BuildError("texts: " + relative + " is not UTF-8 (" + PlaceOf(text, bad) + "); save it as UTF-8");
    }
    try {
      m_builder.StartVolume(name);
      for (PageContent& piece : ParseVolumeText(text)) m_builder.AddPiece(std::move(piece));
      m_builder.EndVolume();
    } catch (const BuildError& e) {
      throw BuildError("texts: " + relative + ": " + e.what());
    }
    ++m_report.files;
    m_report.bytes += text.size();
    m_progress.Update(m_report.bytes);
  }

  static std::string ReadFile(const fs::path& file, const std::string& relative) {
    std::ifstream in(file, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof()) throw BuildError("texts: cannot read " + relative);
    return text;
  }

  fs::path m_root;
  CorpusBuilder& m_builder;
  Progress& m_progress;
  TextSourceReport m_report;
};

}  // namespace

std::vector<PageContent> ParseVolumeText(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::vector<PageContent> pieces;
  while (!text.empty()) {
    const std::string_view line = Trimmed(TakeLine(text));
    if (line.empty()) continue;
    if (line.front() == '#') {
      pieces.push_back({std::string(Trimmed(line.substr(1))), {}});
      continue;
    }
    if (pieces.empty()) pieces.emplace_back();
    pieces.back().paragraphs.push_back({SplitInlineNotes(line)});
  }
  // A bare "#" that no line follows would leave an empty line on the page.
  std::erase_if(pieces, [](const PageContent& piece) { return piece.title.empty() && piece.paragraphs.empty(); });
  return pieces;
}

bool NaturalLess(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const size_t aStart = i, bStart = j;
      while (i < a.size() && IsDigit(a[i])) ++i;
      while (j < b.size() && IsDigit(b[j])) ++j;
      std::string_view aDigits = a.substr(aStart, i - aStart), bDigits = b.substr(bStart, j - bStart);
      while (aDigits.size() > 1 && aDigits.front() == '0') aDigits.remove_prefix(1);
      while (bDigits.size() > 1 && bDigits.front() == '0') bDigits.remove_prefix(1);
      if (aDigits.size() != bDigits.size()) return aDigits.size() < bDigits.size();
      if (aDigits != bDigits) return aDigits < bDigits;
      continue;
    }
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    ++i, ++j;
  }
  if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
  return a < b;  // "01" and "1": any fixed order
}

TextSourceReport ReadTextSource(const fs::path& folder, CorpusBuilder& builder, Progress& progress) {
  return TextSource(folder, builder, progress).Read();
}

}  // namespace codexa::build
