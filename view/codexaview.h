// CCodexaView: the text pane. It shows one HTML page at a time, loaded from
// a page file that the left form wrote, and starts on "about:blank". It
// builds no pages itself: it loads what it is told, offers a two-item
// context menu, and copies, selects, prints and sets up pages through the
// web engine.
#ifndef CODEXA_VIEW_CODEXAVIEW_H_
#define CODEXA_VIEW_CODEXAVIEW_H_

#include <QString>
#include <QWebEngineView>
#include <memory>

class QMenu;
class QPrinter;

// The messages of printing; the frame shows them.
extern const char* const kPrintFailedMessage;  // "印刷できませんでした。…"
extern const char* const kPrintBusyMessage;    // "前の印刷がまだ終わっていません。…"

class CCodexaView : public QWebEngineView {
  Q_OBJECT
 public:
  // The location of the blank start page; enabling rules compare with it.
  static const QString kBlank;

  explicit CCodexaView(QWidget* parent = nullptr);
  ~CCodexaView() override;

  // Loads `location`: "about:blank", or a file path with an optional
  // fragment after its last "#" ("/tmp/.../windows1.html#0003"). A
  // fragment on the page already shown only scrolls to that anchor.
  // Returns at once; the page loads asynchronously.
  void Navigate2(const QString& location);
  // The location last navigated to, as given to Navigate2 with a path
  // turned into a URL; exactly "about:blank" while the start page shows.
  QString GetLocationURL() const;
  bool ShowsBlank() const { return GetLocationURL() == kBlank; }

  void OnCopy();
  void OnSelectAll();
  // The engine prints one job at a time: while one runs, each of these
  // refuses at once with kPrintBusyMessage, before any dialog is shown, so
  // nothing the user confirms is dropped. A job that fails ends with
  // kPrintFailedMessage.
  //
  // Prints the shown page on the default printer at once, without a dialog.
  void PrintNow();
  // Asks with the print dialog, then prints.
  void PrintWithDialog();
  void PageSetup();
  void PrintPreview();
  bool IsPrinting() const { return m_bPrinting; }
  // The printer every print, the page set-up and the preview use.
  QPrinter& Printer() { return *m_printer; }

  // The context menu for the present location: "コピー" and "すべて選択。",
  // or none while the blank page shows. The caller owns the menu.
  QMenu* CreateContextMenu();

 signals:
  // A message about printing for the user (UTF-8 text of the constants above).
  void PrintWarning(const QString& message);
  // A print job ended, `ok` when it reached the printer.
  void PrintEnded(bool ok);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // Prints on `printer`, which must live until printing has finished.
  void PrintOn(QPrinter* printer);
  // False, after telling the user, while a job runs.
  bool ReadyToPrint();
  // Prints synchronously for the preview, which paints in one call.
  void PaintPreview(QPrinter* printer);

  QString m_strLocation;
  std::unique_ptr<QPrinter> m_printer;
  bool m_bPrinting = false;
};

#endif  // CODEXA_VIEW_CODEXAVIEW_H_
