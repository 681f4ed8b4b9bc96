#include "app/scrolltoolbar.h"

#include <QCursor>
#include <QPixmap>

#include "panel/leftform.h"
#include "panel/screenart.h"

namespace {
constexpr QRgb kMask = 0xFF00FF;  // magenta: where the background shows
constexpr int kImageCount = 10;
constexpr int kButtonSize = 40;
}  // namespace

CSCrollToolBar::CSCrollToolBar(QWidget* parent) : CXToolBar(QStringLiteral("ナビゲーション"), parent) {
  setObjectName(QStringLiteral("NavBar"));
}

bool CSCrollToolBar::Create(const std::vector<ToolBarItem>& items, const QString& art) {
  m_cxImage = m_cyImage = kButtonSize;
  LoadToolBar(items);
  if (!SetBackgroundBitmap(art + "toolbar_back.png")) return false;
  if (!SetImageLists(kImageCount, kMask, art + "toolbar_normal.png", art + "toolbar_disabled.png",
                     art + "toolbar_hot.png")) {
    return false;
  }
  const int sliderIndex = CommandToIndex(kSliderCommand);
  const int labelIndex = CommandToIndex(kLabelCommand);
  if (sliderIndex < 0 || labelIndex < 0) return false;

  // Both controls take the gap's full height and are centred in it.
  m_wndSlider.setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  m_wndPageLabel.setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  const QPixmap cursor = LoadArtPixmap(art + "leftright.png");
  const QSizeF size = cursor.deviceIndependentSize();
  if (!cursor.isNull()) m_wndSlider.setCursor(QCursor(cursor, qRound(size.width() / 2), qRound(size.height() / 2)));
  SetGap(sliderIndex, kSliderGap, &m_wndSlider)->setObjectName(QStringLiteral("SliderGap"));
  m_wndSlider.SetRange(0, 0, true);
  connect(&m_wndSlider, &CXSliderCtrl::MoveEnded, this, &CSCrollToolBar::OnSliderMoveEnded);

  SetGap(labelIndex, kLabelGap, &m_wndPageLabel)->setObjectName(QStringLiteral("LabelGap"));
  return true;
}

void CSCrollToolBar::OnSliderMoveEnded(int pos) {
  if (!m_pLeftForm || m_pLeftForm->Reading().CurRecord() == 0) return;
  ShowVolumePage(pos);
}

void CSCrollToolBar::ShowVolumePage(int fileNumber) {
  if (!m_pLeftForm) return;
  m_pLeftForm->ShowVolumePage(fileNumber);
  m_wndSlider.SetPos(m_pLeftForm->Reading().CurPage());
  UpdateLabel();
}

void CSCrollToolBar::ShowVolumeRange(int firstFile, int lastFile) {
  m_wndSlider.SetRange(firstFile, lastFile, true);
  m_wndSlider.SetPos(firstFile);
  UpdateLabel();
}

void CSCrollToolBar::FollowReading() {
  if (!m_pLeftForm) return;
  const CReadingState& reading = m_pLeftForm->Reading();
  m_wndSlider.SetRange(reading.FirstFile(), reading.LastFile(), true);
  m_wndSlider.SetPos(reading.CurPage());
  UpdateLabel();
}

void CSCrollToolBar::UpdateLabel() {
  if (m_pLeftForm) m_wndPageLabel.setText(m_pLeftForm->PageLabelText());
}
