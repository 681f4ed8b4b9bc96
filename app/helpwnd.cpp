#include "app/helpwnd.h"

#include <QWebEnginePage>

#include "app/titles.h"

namespace {

constexpr int kWidth = 820;
constexpr int kHeight = 720;

// A link that asks for a new window ("target=_blank") gets a page that
// exists only to learn where the link leads; the help page then goes
// there itself, and the stand-in is thrown away.
class HelpPage : public QWebEnginePage {
 public:
  using QWebEnginePage::QWebEnginePage;

 protected:
  QWebEnginePage* createWindow(WebWindowType) override {
    auto* standIn = new QWebEnginePage(profile(), this);
    connect(standIn, &QWebEnginePage::urlChanged, this, [this, standIn](const QUrl& url) {
      if (url.isEmpty()) return;
      setUrl(url);
      standIn->deleteLater();
    });
    return standIn;
  }
};

}  // namespace

CHelpWnd::CHelpWnd(QWidget* owner) : QWebEngineView(owner) {
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose, false);  // kept for the next request
  setPage(new HelpPage(this));
  setObjectName(QStringLiteral("HelpWnd"));
  setWindowTitle(QStringLiteral("%1 ヘルプ").arg(QString::fromUtf8(kProductTitle)));
  connect(this, &QWebEngineView::titleChanged, this, [this](const QString& title) {
    if (!title.isEmpty()) setWindowTitle(title);
  });
  resize(kWidth, kHeight);
}

void CHelpWnd::ShowPage(const QUrl& url) {
  load(url);
  show();
  raise();
  activateWindow();
}
