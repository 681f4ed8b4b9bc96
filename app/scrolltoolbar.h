// CSCrollToolBar: the main window's navigation tool bar. The command
// buttons over the background picture, then the page slider in a 300-pixel
// gap and the read-only page label in a 100-pixel gap. The slider moves
// through the pages of the volume being read; the label shows the corpus's
// page count and the file number of the page shown.
#ifndef CODEXA_APP_SCROLLTOOLBAR_H_
#define CODEXA_APP_SCROLLTOOLBAR_H_

#include <vector>

#include "app/xsliderctrl.h"
#include "app/xtoolbar.h"

class CLeftForm;

class CSCrollToolBar : public CXToolBar {
  Q_OBJECT
 public:
  // The items of the tool bar that become the slider gap and the label gap.
  static constexpr int kSliderCommand = 32787;
  static constexpr int kLabelCommand = 32788;
  static constexpr int kSliderGap = 300;
  static constexpr int kLabelGap = 100;

  explicit CSCrollToolBar(QWidget* parent = nullptr);

  // Builds the tool bar from `items` (which must end with the two gap
  // commands) and the pictures in `art` (a folder or resource prefix with
  // "toolbar_back.png", "toolbar_normal.png", "toolbar_disabled.png",
  // "toolbar_hot.png" and "leftright.png"). False when a picture is
  // missing.
  bool Create(const std::vector<ToolBarItem>& items, const QString& art);

  // The form whose reading state the slider moves (not owned).
  void SetLeftForm(CLeftForm* form) { m_pLeftForm = form; }

  // Shows page `fileNumber` of the volume being read, then moves the
  // slider and the label to it. When the page cannot be shown, the
  // navigation state stays as it was and the slider goes back to the page
  // that is shown.
  void ShowVolumePage(int fileNumber);
  // A volume was shown: the slider covers its pages and stands on the
  // first; the label follows.
  void ShowVolumeRange(int firstFile, int lastFile);
  // The slider covers the pages of the volume being read and stands on the
  // current page; the label follows.
  void FollowReading();
  void UpdateLabel();

  CXSliderCtrl& slider() { return m_wndSlider; }
  CXEdit& label() { return m_wndPageLabel; }

 private:
  void OnSliderMoveEnded(int pos);

  CXSliderCtrl m_wndSlider;
  CXEdit m_wndPageLabel;
  CLeftForm* m_pLeftForm = nullptr;
};

#endif  // CODEXA_APP_SCROLLTOOLBAR_H_
