// The reader's two names and the place of its per-user settings.
#ifndef CODEXA_APP_TITLES_H_
#define CODEXA_APP_TITLES_H_

// The product title: the main window's caption.
inline constexpr const char* kProductTitle = "Codexa";
// The application title, the longer form: the caption of every message box
// and the name under which the per-user settings are kept.
inline constexpr const char* kApplicationTitle = "Codexa 漢籍全文閲覧・検索";
// The settings live under this organisation, then the application title.
inline constexpr const char* kProfileOrganisation = "Local AppWizard-Generated Applications";

#endif  // CODEXA_APP_TITLES_H_
