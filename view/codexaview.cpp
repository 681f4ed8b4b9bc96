#include "view/codexaview.h"

#include <QApplication>
#include <QChildEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPointer>
#include <QPrinter>
#include <QThread>
#include <QUrl>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWheelEvent>

#include "view/compositing.h"
#include "view/findbar.h"
#include "view/pagescript.h"
#include "view/sheetprinter.h"
#include "view/textsize.h"

const QString CCodexaView::kBlank = QStringLiteral("about:blank");
const char* const kPrintFailedMessage = "印刷できませんでした。プリンターの設定を確かめてください。";
const char* const kPrintBusyMessage = "前の印刷がまだ終わっていません。終わってから、もう一度印刷してください。";

namespace {

// A vertical block in a horizontal table cell (the fold column of a page)
// gets its column length from nothing in the cell; the engine then falls
// back to the viewport's extent. On screen that is the window, but in print
// layout it comes out a character or two long, so every column breaks
// after a glyph or two and the fold prints as a row of single characters.
// Sized to its longest line the block prints as it shows.
const char* const kFoldRule = "[style*=\"vertical-rl\"] { height: max-content !important; }";

// In vertical writing the page's table turns on its side: its one row
// becomes a column, the fold a band across the top and the text a block
// below it, and the table, as long as its longest line, is centred down
// the sheet between two empty bands. Printed as a vertically set book
// instead: the page's frame (the outermost table, its row and cells) as
// plain blocks, so the fold stands as a strip beside the text, every
// column starts at the sheet's top and the sheets break between columns,
// right to left. The frame's fixed sizes (a cell's width is the depth of
// the text's column stack here) and its centring are dropped.
//
// Nothing may follow the last column but the sheet's own margin, or it
// takes a sheet of its own: the body's margin and the text block's end
// padding go, the fold keeps some room on both sides of its own.
const char* const kVerticalRules =
    "html.codexa-vertical body { margin: 0; }"
    "html.codexa-vertical table:not(td table),"
    "html.codexa-vertical table:not(td table) > *,"
    "html.codexa-vertical table:not(td table) > * > tr,"
    "html.codexa-vertical table:not(td table) > * > tr > td"
    " { display: block; width: auto; height: auto; text-align: start; }"
    "html.codexa-vertical td > div { padding-left: 0 !important; }"
    "html.codexa-vertical [style*=\"vertical-rl\"]"
    " { display: block; break-inside: avoid; margin: 14px 10px !important; }";

// The rules go into the loaded document only, never into the page file,
// and only for print media; horizontal pages print as they show.
const QString kPrintStyleId = QStringLiteral("codexa-print-style");
const QString kAddPrintStyle = QStringLiteral(
    "(function () {"
    "  if (document.getElementById('%1')) return;"
    "  var style = document.createElement('style');"
    "  style.id = '%1';"
    "  style.textContent = '@media print { %2 %3 }';"
    "  (document.head || document.documentElement).appendChild(style);"
    "})();").arg(kPrintStyleId, QString::fromUtf8(kFoldRule), QString::fromUtf8(kVerticalRules));

QUrl UrlOfLocation(const QString& location) {
  if (location.startsWith(QLatin1String("about:"))) return QUrl(location);
  const qsizetype hash = location.lastIndexOf(u'#');
  const bool hasFragment = hash >= 0 && !location.mid(hash).contains(u'/');
  QUrl url = QUrl::fromLocalFile(hasFragment ? location.left(hash) : location);
  if (hasFragment) url.setFragment(location.mid(hash + 1));
  return url;
}

}  // namespace

CCodexaView::CCodexaView(QWidget* parent)
    : QWebEngineView(parent),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_nTextSize(kStandardTextSize) {
  // Before the page below, which starts the engine.
  ChooseViewCompositing();
  InstallPageScript();
  m_pFindBar = new CFindBar(this);
  // The engine may reset the zoom when it moves to another document.
  connect(this, &QWebEngineView::loadFinished, this, [this] { setZoomFactor(m_nTextSize / 100.0); });
  Navigate2(kBlank);
}

CCodexaView::~CCodexaView() {
  // A job still putting sheets on the printer, which goes with the view.
  if (m_pPrintJob) m_pPrintJob->wait();
}

void CCodexaView::Navigate2(const QString& location) {
  const QUrl url = UrlOfLocation(location);
  m_strLocation = url.toString();
  setZoomFactor(m_nTextSize / 100.0);
  // Chromium treats a load of the URL already shown as a same-document
  // move when only the fragment differs, and as a fresh load otherwise,
  // so a rewritten page file is read again.
  load(url);
}

QString CCodexaView::GetLocationURL() const { return m_strLocation; }

void CCodexaView::OnCopy() { triggerPageAction(QWebEnginePage::Copy); }

void CCodexaView::OnSelectAll() { triggerPageAction(QWebEnginePage::SelectAll); }

bool CCodexaView::ReadyToPrint() {
  if (!m_bPrinting) return true;
  emit PrintWarning(QString::fromUtf8(kPrintBusyMessage));
  return false;
}

void CCodexaView::PrintOn(QPrinter* printer) {
  m_bPrinting = true;
  // The page has the print rule before it is laid out for the printer; the
  // engine lays it out, the sheets go to the printer from here
  // (view/sheetprinter.h says why).
  page()->runJavaScript(kAddPrintStyle, [view = QPointer<CCodexaView>(this), printer](const QVariant&) {
    if (!view) return;
    view->page()->printToPdf(
        [view, printer](const QByteArray& pdf) {
          if (view) view->PutSheets(pdf, printer);
        },
        printer->pageLayout(), printer->pageRanges());
  });
}

void CCodexaView::PutSheets(const QByteArray& pdf, QPrinter* printer) {
  // A sheet takes about a second to render at a printer's resolution: the
  // window stays live meanwhile, as with the engine's own printing.
  m_pPrintJob = QThread::create([this, pdf, printer] {
    const bool ok = PrintSheets(pdf, *printer);
    QMetaObject::invokeMethod(this, [this, ok] { EndPrint(ok); }, Qt::QueuedConnection);
  });
  connect(m_pPrintJob, &QThread::finished, m_pPrintJob, &QObject::deleteLater);
  m_pPrintJob->start();
}

void CCodexaView::EndPrint(bool ok) {
  m_bPrinting = false;
  // No printer, a file that cannot be written, a page the engine could not
  // lay out: the user is told here.
  if (!ok) emit PrintWarning(QString::fromUtf8(kPrintFailedMessage));
  emit PrintEnded(ok);
}

void CCodexaView::PrintNow() {
  if (ReadyToPrint()) PrintOn(m_printer.get());
}

void CCodexaView::PrintWithDialog() {
  if (!ReadyToPrint()) return;
  QPrintDialog dialog(m_printer.get(), this);
  // The dialog is modal, yet a job may have been started from elsewhere
  // meanwhile; it is refused rather than dropped.
  if (dialog.exec() == QDialog::Accepted && ReadyToPrint()) PrintOn(m_printer.get());
}

void CCodexaView::PageSetup() {
  // The running job still paints on this printer.
  if (!ReadyToPrint()) return;
  QPageSetupDialog dialog(m_printer.get(), this);
  dialog.exec();
}

void CCodexaView::PaintPreview(QPrinter* printer) {
  // Only the preview starts jobs while its dialog is open, one at a time.
  if (m_bPrinting) return;
  // The engine takes seconds to lay the pages out.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QEventLoop loop;
  auto done = connect(this, &CCodexaView::PrintEnded, &loop, &QEventLoop::quit);
  PrintOn(printer);
  loop.exec();
  disconnect(done);
  QApplication::restoreOverrideCursor();
}

void CCodexaView::PrintPreview() {
  // Opened while a job runs, the preview would stay blank.
  if (!ReadyToPrint()) return;
  QPrintPreviewDialog dialog(m_printer.get(), this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &CCodexaView::PaintPreview);
  dialog.exec();
}

QMenu* CCodexaView::CreateContextMenu() {
  if (ShowsBlank()) return nullptr;
  auto* menu = new QMenu(this);
  menu->addAction(QStringLiteral("コピー"), this, &CCodexaView::OnCopy);
  menu->addAction(QStringLiteral("すべて選択。"), this, &CCodexaView::OnSelectAll);
  bool separated = false;
  for (QAction* action : m_menuActions) {
    if (!action->isEnabled()) continue;
    if (!separated) menu->addSeparator();
    separated = true;
    menu->addAction(action);
  }
  return menu;
}

void CCodexaView::AddMenuActions(const QList<QAction*>& actions) { m_menuActions += actions; }

void CCodexaView::InstallPageScript() {
  QWebEngineScriptCollection& scripts = page()->scripts();
  for (const QWebEngineScript& old : scripts.find(QStringLiteral("codexa-page"))) scripts.remove(old);
  QWebEngineScript script;
  script.setName(QStringLiteral("codexa-page"));
  script.setSourceCode(PageScriptSource(m_bVertical));
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(QWebEngineScript::MainWorld);
  script.setRunsOnSubFrames(false);
  scripts.insert(script);
}

void CCodexaView::SetTextSize(int percent) {
  const int size = TextSizeOfSetting(percent);
  if (size == m_nTextSize) return;
  m_nTextSize = size;
  setZoomFactor(size / 100.0);
  emit TextSizeChanged(size);
}

void CCodexaView::SetVertical(bool vertical) {
  if (vertical == m_bVertical) return;
  m_bVertical = vertical;
  InstallPageScript();
  page()->runJavaScript(SetVerticalCall(vertical));
}

void CCodexaView::resizeEvent(QResizeEvent* event) {
  QWebEngineView::resizeEvent(event);
  m_pFindBar->Place();
}

bool CCodexaView::event(QEvent* event) {
  // The engine draws into a child widget of its own, made when the first
  // page loads; the wheel reaches that child, so it is watched there.
  if (event->type() == QEvent::ChildAdded) {
    QObject* child = static_cast<QChildEvent*>(event)->child();
    if (child->isWidgetType()) child->installEventFilter(this);
    if (m_pFindBar) m_pFindBar->raise();
  }
  return QWebEngineView::event(event);
}

bool CCodexaView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel) return QWebEngineView::eventFilter(watched, event);
  const auto* wheel = static_cast<QWheelEvent*>(event);
  if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
  // Ctrl+wheel is the text size setting, one step a notch, never the
  // engine's own zoom, which nothing would remember.
  const int notches = wheel->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
  if (notches != 0) SetTextSize(StepTextSize(m_nTextSize, notches));
  return true;
}

void CCodexaView::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();  // the engine's own menu is never shown
  QMenu* menu = CreateContextMenu();
  if (!menu) return;
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}
