// CFindBar: find in the shown page, a bar over the top right corner of the
// text view. Ctrl+F (the frame's command) opens it with the focus in its
// field; typing finds as one types, Enter and 次へ go to the next match,
// Shift+Enter and 前へ to the previous, the label counts the matches
// ("3/12 件" or "見つかりません"), and Esc or × closes it and clears the
// marking. The web engine's own find does the finding.
#ifndef CODEXA_VIEW_FINDBAR_H_
#define CODEXA_VIEW_FINDBAR_H_

#include <QFrame>

class QLabel;
class QLineEdit;
class QToolButton;
class QWebEngineFindTextResult;
class QWebEngineView;

class CFindBar : public QFrame {
  Q_OBJECT
 public:
  // A child of `view`, hidden until Open.
  explicit CFindBar(QWebEngineView* view);

  void Open();
  void Close();
  void FindNext() { Find(false); }
  void FindPrevious() { Find(true); }
  // Keeps the bar in the view's top right corner.
  void Place();

  QLineEdit* field() const { return m_pField; }
  QLabel* countLabel() const { return m_pCount; }
  QToolButton* nextButton() const { return m_pNext; }
  QToolButton* previousButton() const { return m_pPrevious; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Find(bool backward);
  void ShowResult(const QWebEngineFindTextResult& result);

  QWebEngineView* m_pView;
  QLineEdit* m_pField = nullptr;
  QLabel* m_pCount = nullptr;
  QToolButton* m_pPrevious = nullptr;
  QToolButton* m_pNext = nullptr;
};

#endif  // CODEXA_VIEW_FINDBAR_H_
