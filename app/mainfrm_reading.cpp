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
  AddAction(ID_EDIT_FIND, QStringLiteral("頁内検索(&F)..."), QStringLiteral("頁内検索"), &CMainFrame::OnFind)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  AddAction(ID_EDIT_COPY_CITED, QStringLiteral("出典付きコピー(&O)"), QStringLiteral("出典付きコピー"),
            &CMainFrame::OnCopyCited)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  AddAction(ID_VIEW_TEXT_LARGER, QStringLiteral("文字を大きく(&L)"), {}, &CMainFrame::OnTextLarger)
      ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Semicolon)});
  AddAction(ID_VIEW_TEXT_SMALLER, QStringLiteral("文字を小さく(&M)"), {}, &CMainFrame::OnTextSmaller)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
  AddAction(ID_VIEW_TEXT_STANDARD, QStringLiteral("標準の大きさ(&D)"), {}, &CMainFrame::OnTextStandard)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
  QAction* vertical =
      AddAction(ID_VIEW_VERTICAL, QStringLiteral("縦書き(&W)"), {}, &CMainFrame::OnToggleVertical);
  vertical->setCheckable(true);
  AddAction(ID_OPEN_HIT_IN_VOLUME, QStringLiteral("この頁を目次で開く(&O)"), QStringLiteral("この頁を目次で開く"),
            &CMainFrame::OnOpenHitInVolume);

  const CReadingState& reading = m_pLeftForm->Reading();
  m_rules.insert(ID_EDIT_FIND, [this] { return !m_pTextView->ShowsBlank(); });
  m_rules.insert(ID_EDIT_COPY_CITED, [this, &reading] {
    return !m_pTextView->ShowsBlank() && reading.ShownPage() != CReadingState::Shown::kNothing;
  });
  m_rules.insert(ID_OPEN_HIT_IN_VOLUME, [&reading] { return reading.CanOpenHitInVolume(); });
  m_pTextView->AddMenuActions({Action(ID_EDIT_COPY_CITED), Action(ID_OPEN_HIT_IN_VOLUME)});
  // The result list offers the command for the hit its click has opened.
  m_pLeftForm->resultList()->setContextMenuPolicy(Qt::ActionsContextMenu);
  m_pLeftForm->resultList()->addAction(Action(ID_OPEN_HIT_IN_VOLUME));

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
  const bool vertical = Action(ID_VIEW_VERTICAL)->isChecked();
  m_pTextView->SetVertical(vertical);
  QSettings().setValue(kVerticalKey, vertical);
}

void CMainFrame::OnOpenHitInVolume() {
  if (!m_pLeftForm->ShowHitInVolume()) return;
  m_wndNavBar->FollowReading();
}
