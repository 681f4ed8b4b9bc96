// Qt's own dialogs (page set-up, print preview, print, file dialogs, the
// standard buttons) carry English texts unless Qt's catalogues are loaded.
// The reader speaks Japanese whatever the desktop's language, so it loads
// Qt's Japanese catalogues at start.
#ifndef CODEXA_APP_QTTRANSLATIONS_H_
#define CODEXA_APP_QTTRANSLATIONS_H_

#include <QString>

// The folder where Qt's catalogues are installed.
QString QtTranslationsFolder();

// Installs, on the running application, Qt's Japanese catalogues found in
// `folder`. Returns how many were installed; 0 (and Qt's texts stay
// English) when none can be read there.
int InstallQtJapanese(const QString& folder = QtTranslationsFolder());

#endif  // CODEXA_APP_QTTRANSLATIONS_H_
