// CAboutDlg: the about box, a borderless picture that closes on a click
// anywhere on it, on Enter or on Esc.
#ifndef CODEXA_APP_ABOUTDLG_H_
#define CODEXA_APP_ABOUTDLG_H_

#include <QDialog>

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

#endif  // CODEXA_APP_ABOUTDLG_H_
