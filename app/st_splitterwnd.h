// ST_SplitterWnd: the two-pane splitter of the main window. Besides what
// an ordinary splitter does it can hide one column and bring it back with
// the width it had, and it writes its layout to the per-user settings when
// it is destroyed ("SplitterWnd"/"Panes_<level>" = "hidden size0 -1 size1").
// Nothing reads that layout back: every run starts with the sizes Create
// gives.
#ifndef CODEXA_APP_ST_SPLITTERWND_H_
#define CODEXA_APP_ST_SPLITTERWND_H_

#include <QSplitter>
#include <QString>

class ST_SplitterWnd : public QSplitter {
  Q_OBJECT
 public:
  // Width the first pane starts with, and the second pane's initial size
  // (the last pane then takes whatever is left).
  static constexpr int kFirstPaneSize = 260;
  static constexpr int kSecondPaneSize = 100;

  explicit ST_SplitterWnd(int level, QWidget* parent = nullptr);
  // Writes the layout (WriteLayout).
  ~ST_SplitterWnd() override;

  // Takes `first` and `second` as its two panes, side by side when
  // `vertical` (one row, two columns), else one above the other. The
  // splitter owns them from now on.
  void Create(QWidget* first, QWidget* second, bool vertical);

  // The pane at (row, column) as the panes are laid out now: while a
  // column is hidden the visible one is column 0 and there is no column 1.
  QWidget* GetPane(int row, int column) const;

  // Hides `side` when nothing is hidden, shows it again when it is the
  // hidden one, and does nothing otherwise.
  void TogglePane(int side);
  void ParkColumn(int column);
  void RestoreColumn();
  // Copies the live column sizes into the remembered ones; while a column
  // is hidden the values from hiding time stay.
  void CaptureSizes();
  void WriteLayout();

  int HiddenColumn() const { return m_nHiddenCol; }
  int RememberedSize(int pane) const { return pane == 0 ? m_nSize0 : m_nSize1; }

 private:
  // The size of pane `pane` along the splitter's direction.
  int LiveSize(int pane) const;
  int LiveMinimum(int pane) const;

  int m_nHiddenCol = -1;
  int m_nHiddenRow = -1;
  int m_nSize0 = 100;
  int m_nSize1 = 100;
  int m_nMin0 = 10;
  int m_nMin1 = 10;
  bool m_bVertical = true;
  QString m_strSection = QStringLiteral("SplitterWnd");
  int m_nLevel;
};

#endif  // CODEXA_APP_ST_SPLITTERWND_H_
