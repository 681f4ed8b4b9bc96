#include "app/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// qtbase holds the widgets' and the print support's texts (page set-up,
// print preview, print dialog, file dialogs, standard buttons); the
// web engine brings no Japanese catalogue of its own.
constexpr const char* kCatalogues[] = {"qtbase_ja"};
}  // namespace

QString QtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

int InstallQtJapanese(const QString& folder) {
  int installed = 0;
  for (const char* name : kCatalogues) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QString::fromLatin1(name), folder) && QCoreApplication::installTranslator(translator)) {
      ++installed;
    } else {
      delete translator;
    }
  }
  return installed;
}
