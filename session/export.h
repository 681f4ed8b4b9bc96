// Taking a result out of the program: the whole result list, or its
// concordance, as UTF-8 CSV (RFC 4180 quoting) or TSV (tabs and line
// breaks inside a field become spaces), a header line first.
#ifndef CODEXA_SESSION_EXPORT_H_
#define CODEXA_SESSION_EXPORT_H_

#include <cstddef>
#include <functional>
#include <ostream>
#include <span>

#include "corpus/catalogue.h"
#include "session/concordance.h"

enum class ExportFormat { kCsv, kTsv };

// Called now and then with the rows written and the rows in all; answers
// false to stop the export.
using ExportProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Every entry: 類別, 書名, 巻, 頁, 件数. False when the stream failed.
bool ExportResultList(std::span<const SearchNodeTag> entries, ExportFormat format, std::ostream& out);

// Every row of `concordance` in its present order: 類別, 書名, 巻, 頁,
// 前文脈, 用例, 後文脈. False when the stream failed or `progress` stopped
// it (what was written stays written: the caller drops the file).
bool ExportConcordance(CIndex& index, CConcordance& concordance, ExportFormat format, std::ostream& out,
                       const ExportProgress& progress);

#endif  // CODEXA_SESSION_EXPORT_H_
