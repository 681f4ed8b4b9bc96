#include "view/codexaview.h"

#include <QContextMenuEvent>
#include <QEventLoop>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QUrl>

const QString CCodexaView::kBlank = QStringLiteral("about:blank");

namespace {

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
    : QWebEngineView(parent), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  connect(this, &QWebEngineView::printFinished, this, [this](bool) { m_bPrinting = false; });
  Navigate2(kBlank);
}

CCodexaView::~CCodexaView() = default;

void CCodexaView::Navigate2(const QString& location) {
  const QUrl url = UrlOfLocation(location);
  m_strLocation = url.toString();
  // Chromium treats a load of the URL already shown as a same-document
  // move when only the fragment differs, and as a fresh load otherwise,
  // so a rewritten page file is read again.
  load(url);
}

QString CCodexaView::GetLocationURL() const { return m_strLocation; }

void CCodexaView::OnCopy() { triggerPageAction(QWebEnginePage::Copy); }

void CCodexaView::OnSelectAll() { triggerPageAction(QWebEnginePage::SelectAll); }

void CCodexaView::PrintOn(QPrinter* printer) {
  if (m_bPrinting) return;  // the engine prints one job at a time
  m_bPrinting = true;
  print(printer);
}

void CCodexaView::PrintNow() { PrintOn(m_printer.get()); }

void CCodexaView::PrintWithDialog() {
  QPrintDialog dialog(m_printer.get(), this);
  if (dialog.exec() == QDialog::Accepted) PrintOn(m_printer.get());
}

void CCodexaView::PageSetup() {
  QPageSetupDialog dialog(m_printer.get(), this);
  dialog.exec();
}

void CCodexaView::PaintPreview(QPrinter* printer) {
  if (m_bPrinting) return;
  QEventLoop loop;
  auto done = connect(this, &QWebEngineView::printFinished, &loop, &QEventLoop::quit);
  PrintOn(printer);
  loop.exec();
  disconnect(done);
}

void CCodexaView::PrintPreview() {
  QPrintPreviewDialog dialog(m_printer.get(), this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &CCodexaView::PaintPreview);
  dialog.exec();
}

QMenu* CCodexaView::CreateContextMenu() {
  if (ShowsBlank()) return nullptr;
  auto* menu = new QMenu(this);
  menu->addAction(QStringLiteral("コピー"), this, &CCodexaView::OnCopy);
  menu->addAction(QStringLiteral("すべて選択。"), this, &CCodexaView::OnSelectAll);
  return menu;
}

void CCodexaView::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();  // the engine's own menu is never shown
  QMenu* menu = CreateContextMenu();
  if (!menu) return;
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}
