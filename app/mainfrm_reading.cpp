// The frame's reading commands: find in page, copy with source, the text
// size and the writing (kept in the settings under "View/"), and a hit
// page opened in its volume. The view does the showing, the reading state
// knows where the page shown stands.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QSettings>

#include "app/mainfrm.h"
#include "panel/sortlistctrl.h"
#include "session/citation.h"
#include "view/codexaview.h"
#include "view/findbar.h"
#include "view/textsize.h"

namespace {
const QString kTextSizeKey = QStringLiteral("View/TextSize");
const QString kVerticalKey = QStringLiteral("View/Vertical");
}  // namespace

void CMainFrame::CreateReadingActions() {
  AddAction(Command::kEditFind, QStringLiteral("頁内検索(&F)..."), QStringLiteral("頁内検索"), &CMainFrame::OnFind)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  AddAction(Command::kEditCopyCited, QStringLiteral("出典付きコピー(&O)"), QStringLiteral("出典付きコピー"),
            &CMainFrame::OnCopyCited)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  AddAction(Command::kViewTextLarger, QStringLiteral("文字を大きく(&L)"), {}, &CMainFrame::OnTextLarger)
      ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Semicolon)});
  AddAction(Command::kViewTextSmaller, QStringLiteral("文字を小さく(&M)"), {}, &CMainFrame::OnTextSmaller)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
  AddAction(Command::kViewTextStandard, QStringLiteral("標準の大きさ(&D)"), {}, &CMainFrame::OnTextStandard)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
  QAction* vertical =
      AddAction(Command::kViewVertical, QStringLiteral("縦書き(&W)"), {}, &CMainFrame::OnToggleVertical);
  vertical->setCheckable(true);
  AddAction(Command::kOpenHitInVolume, QStringLiteral("この頁を目次で開く(&O)"), QStringLiteral("この頁を目次で開く"),
            &CMainFrame::OnOpenHitInVolume);

  const CReadingState& reading = m_pLeftForm->Reading();
  m_rules.insert(Command::kEditFind, [this] { return !m_pTextView->ShowsBlank(); });
  m_rules.insert(Command::kEditCopyCited, [this, &reading] {
    return !m_pTextView->ShowsBlank() && reading.ShownPage() != CReadingState::Shown::kNothing;
  });
  m_rules.insert(Command::kOpenHitInVolume, [&reading] { return reading.CanOpenHitInVolume(); });
  m_pTextView->AddMenuActions({Action(Command::kEditCopyCited), Action(Command::kOpenHitInVolume)});
  // The result list offers the command for the hit its click has opened.
  m_pLeftForm->resultList()->setContextMenuPolicy(Qt::ActionsContextMenu);
  m_pLeftForm->resultList()->addAction(Action(Command::kOpenHitInVolume));

  const QSettings settings;
  m_pTextView->SetTextSize(TextSizeOfSetting(settings.value(kTextSizeKey, kStandardTextSize)));
  const bool verticalSaved = settings.value(kVerticalKey).toString() == QLatin1String("true");
  m_pTextView->SetVertical(verticalSaved);
  vertical->setChecked(verticalSaved);
  // Ctrl+wheel changes the same setting as the menu.
  connect(m_pTextView, &CCodexaView::TextSizeChanged, this,
          [](int percent) { QSettings().setValue(kTextSizeKey, percent); });
}

void CMainFrame::OnFind() { m_pTextView->findBar()->Open(); }

QString CMainFrame::CitedText() const {
  const std::u16string passage = m_pTextView->SelectedText().toStdU16String();
  return QString::fromStdU16String(CitationText(passage, m_pLeftForm->Reading().ShownSource()));
}

void CMainFrame::OnCopyCited() { QGuiApplication::clipboard()->setText(CitedText()); }

void CMainFrame::OnTextLarger() { m_pTextView->SetTextSize(StepTextSize(m_pTextView->TextSize(), 1)); }

void CMainFrame::OnTextSmaller() { m_pTextView->SetTextSize(StepTextSize(m_pTextView->TextSize(), -1)); }

void CMainFrame::OnTextStandard() { m_pTextView->SetTextSize(kStandardTextSize); }

void CMainFrame::OnToggleVertical() {
  const bool vertical = Action(Command::kViewVertical)->isChecked();
  m_pTextView->SetVertical(vertical);
  QSettings().setValue(kVerticalKey, vertical);
}

void CMainFrame::OnOpenHitInVolume() {
  if (!m_pLeftForm->ShowHitInVolume()) return;
  m_wndNavBar->FollowReading();
}
