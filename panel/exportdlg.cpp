#include "panel/exportdlg.h"

#include <QFileDialog>
#include <QProgressDialog>
#include <QSaveFile>
#include <functional>
#include <sstream>

#include "panel/messagebox.h"
#include "session/export.h"

namespace {

const QString kCsvFilter = QStringLiteral("CSV (*.csv)");
const QString kTsvFilter = QStringLiteral("TSV (*.tsv *.txt)");

// The ending a name typed without one gets, by the type chosen.
QString SuffixOf(const QString& filter) { return filter == kTsvFilter ? QStringLiteral("tsv") : QStringLiteral("csv"); }

// Asks for the file; empty when the user cancelled. A name typed without an
// ending gets the chosen type's, or the file would open in no program that
// reads the type it holds.
QString AskFile(QWidget* parent, ExportFormat& format) {
  QFileDialog dialog(parent, QStringLiteral("結果を保存"), QString(), kCsvFilter + QStringLiteral(";;") + kTsvFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(SuffixOf(kCsvFilter));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog](const QString& filter) { dialog.setDefaultSuffix(SuffixOf(filter)); });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  const QString file = dialog.selectedFiles().front();
  const bool tsvName = file.endsWith(QStringLiteral(".tsv"), Qt::CaseInsensitive) ||
                       file.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
  format = dialog.selectedNameFilter() == kTsvFilter || tsvName ? ExportFormat::kTsv : ExportFormat::kCsv;
  return file;
}

// Writes what `write` puts on its stream into `file`, replacing it only
// when everything was written.
bool Save(const QString& file, const std::function<bool(std::ostream&)>& write) {
  std::ostringstream text;
  if (!write(text)) return false;
  QSaveFile out(file);
  const std::string bytes = text.str();
  if (!out.open(QIODevice::WriteOnly) || out.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0 ||
      !out.commit()) {
    ShowWarning(QStringLiteral("%1 に保存できませんでした。").arg(file).toStdString());
    return false;
  }
  return true;
}

}  // namespace

bool SaveResultList(QWidget* parent, std::span<const SearchNodeTag> entries) {
  ExportFormat format;
  const QString file = AskFile(parent, format);
  if (file.isEmpty()) return false;
  return Save(file, [&](std::ostream& out) { return ExportResultList(entries, format, out); });
}

bool SaveConcordance(QWidget* parent, CIndex& index, CConcordance& concordance) {
  ExportFormat format;
  const QString file = AskFile(parent, format);
  if (file.isEmpty()) return false;
  QProgressDialog progress(QStringLiteral("用例一覧を保存しています…"), QStringLiteral("キャンセル"), 0, 1000, parent);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  return Save(file, [&](std::ostream& out) {
    return ExportConcordance(index, concordance, format, out, [&](std::size_t done, std::size_t total) {
      progress.setValue(total == 0 ? 1000 : static_cast<int>(done * 1000 / total));
      return !progress.wasCanceled();
    });
  });
}
