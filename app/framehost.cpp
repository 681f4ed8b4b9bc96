#include "app/framehost.h"

#include <QApplication>
#include <sstream>

#include "app/recentcorpora.h"
#include "app/splash.h"
#include "corpus/catalogue.h"
#include "corpus/catalogueformat.h"
#include "corpus/filelistformat.h"
#include "engine/index.h"
#include "panel/messagebox.h"

namespace {

std::filesystem::path PathOf(const QString& text) { return std::filesystem::path(text.toStdU16String()); }
QString TextOf(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

}  // namespace

bool CheckCorpus(const std::filesystem::path& folder) {
  CIndex index;
  const bool indexOpens = index.Open(folder, kCorpusNameUtf16, SearchTarget::kFullText);
  if (!indexOpens) ShowWarning(kOpenFailedMessage);
  CCatalogue catalogue;
  std::ostringstream diagnostics;  // the form reports them when it loads the catalogue
  const bool catalogueLoads = catalogue.Load(folder / kCatalogueFileName, {}, diagnostics);
  if (!catalogueLoads) ShowWarning(kCatalogueMissingMessage);
  return indexOpens && catalogueLoads;
}

CFrameHost::CFrameHost(const CLeftForm::Places& places, QString programFolder)
    : m_places(places), m_strProgramFolder(std::move(programFolder)) {}

CFrameHost::~CFrameHost() = default;

void CFrameHost::Start(const std::filesystem::path& corpus) {
  CLeftForm::Places places = m_places;
  places.programFolder = corpus;
  m_pFrame = std::make_unique<CMainFrame>(places, m_strProgramFolder);
  connect(m_pFrame.get(), &CMainFrame::CorpusChosen, this, &CFrameHost::Switch, Qt::QueuedConnection);
  m_pFrame->showMaximized();
  // The splash was made while the frame was built, so the frame's window
  // came up after it; without a window manager honouring "stays on top"
  // the frame would now cover it.
  if (CSplashWnd* splash = CSplashWnd::Current()) splash->raise();
  m_pFrame->repaint();
  CLeftForm* form = m_pFrame->GetLeftForm();
  if (form->index().IsOpen() && form->catalogue().NodeCount() > 1) RememberCorpus(TextOf(corpus));
}

bool CFrameHost::Switch(const QString& folder) {
  if (!CheckCorpus(PathOf(folder))) return false;
  // The opening movie belongs to the program's start, not to a corpus.
  CSplashWnd::EnableSplash(false);
  // For a moment there is no window at all; that is no reason to quit.
  const bool quitOnClose = QGuiApplication::quitOnLastWindowClosed();
  QGuiApplication::setQuitOnLastWindowClosed(false);
  Close();
  Start(PathOf(folder));
  QGuiApplication::setQuitOnLastWindowClosed(quitOnClose);
  return true;
}

void CFrameHost::Close() { m_pFrame.reset(); }
