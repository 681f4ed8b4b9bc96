#include "session/export.h"

#include <string>
#include <string_view>
#include <vector>

#include "base/unicode.h"

namespace {

// Rows between two calls of the progress function.
constexpr std::size_t kProgressStep = 1000;

std::string Field(std::string_view text, ExportFormat format) {
  std::string out;
  if (format == ExportFormat::kTsv) {
    out.assign(text);
    for (char& c : out) {
      if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return out;
  }
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

void WriteRow(std::ostream& out, const std::vector<std::string>& fields, ExportFormat format) {
  const char separator = format == ExportFormat::kCsv ? ',' : '\t';
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += separator;
    line += Field(fields[i], format);
  }
  // CSV ends its records with CRLF, as its definition asks.
  line += format == ExportFormat::kCsv ? "\r\n" : "\n";
  out << line;
}

std::vector<std::string> Labels(const SearchNodeTag& entry) {
  return {ToUtf8(entry.category), ToUtf8(entry.title), ToUtf8(entry.volume), std::to_string(entry.fileNumber)};
}

}  // namespace

bool ExportResultList(std::span<const SearchNodeTag> entries, ExportFormat format, std::ostream& out) {
  WriteRow(out, {"類別", "書名", "巻", "頁", "件数"}, format);
  for (const SearchNodeTag& entry : entries) {
    std::vector<std::string> fields = Labels(entry);
    fields.push_back(std::to_string(entry.hitCount));
    WriteRow(out, fields, format);
  }
  return static_cast<bool>(out.flush());
}

bool ExportConcordance(CIndex& index, CConcordance& concordance, ExportFormat format, std::ostream& out,
                       const ExportProgress& progress) {
  WriteRow(out, {"類別", "書名", "巻", "頁", "前文脈", "用例", "後文脈"}, format);
  const std::size_t rows = concordance.RowCount();
  for (std::size_t row = 0; row < rows; ++row) {
    if (row % kProgressStep == 0 && progress && !progress(row, rows)) return false;
    std::vector<std::string> fields = Labels(concordance.Entry(row));
    KwicLine line = concordance.Line(index, row);
    fields.push_back(std::move(line.left));
    fields.push_back(std::move(line.hit));
    fields.push_back(std::move(line.right));
    WriteRow(out, fields, format);
    if (!out) return false;
  }
  if (progress) progress(rows, rows);
  return static_cast<bool>(out.flush());
}
