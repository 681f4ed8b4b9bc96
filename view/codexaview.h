// CCodexaView: the text pane. It shows one HTML page at a time, loaded from
// a page file that the left form wrote, and starts on "about:blank". It
// builds no pages itself: it loads what it is told, offers a two-item
// context menu (and the frame's additions after it), and copies, selects,
// prints and sets up pages through the web engine.
//
// How pages are read is the view's own: each starts at its top or at its
// anchor, in the text size and the writing (horizontal or vertical) set
// here, all through a script injected into the loaded document
// (view/pagescript.h), never through the page files; and it carries the
// find bar (view/findbar.h).
#ifndef CODEXA_VIEW_CODEXAVIEW_H_
#define CODEXA_VIEW_CODEXAVIEW_H_

#include <QPointer>
#include <QString>
#include <QWebEngineView>
#include <memory>

class CFindBar;
class QAction;
class QMenu;
class QPrinter;
class QThread;
class QWebEngineScript;

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
  // A page prints as it shows, but in vertical writing it prints like a
  // vertically set book: its columns from each sheet's top, right to left
  // over as many sheets as they need, the fold a strip beside them.
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
  // then the enabled ones of the actions added with AddMenuActions, or none
  // while the blank page shows. The caller owns the menu.
  QMenu* CreateContextMenu();
  // Actions (not owned) the context menu offers after its own two, each
  // while it is enabled.
  void AddMenuActions(const QList<QAction*>& actions);

  // --- Display options: they apply to the page shown and to every page
  // loaded after. ---
  // The text size in percent (view/textsize.h); Ctrl+wheel steps it too.
  int TextSize() const { return m_nTextSize; }
  void SetTextSize(int percent);
  bool IsVertical() const { return m_bVertical; }
  void SetVertical(bool vertical);

  // The text selected in the page, as the engine gives it.
  QString SelectedText() const { return selectedText(); }
  CFindBar* findBar() const { return m_pFindBar; }

 signals:
  // A message about printing for the user (UTF-8 text of the constants above).
  void PrintWarning(const QString& message);
  // A print job ended, `ok` when it reached the printer.
  void PrintEnded(bool ok);
  // The text size changed (by SetTextSize or the wheel).
  void TextSizeChanged(int percent);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Prints on `printer`, which must live until printing has finished.
  void PrintOn(QPrinter* printer);
  // Puts the sheets the engine laid out on `printer`, away from the
  // window's thread, then ends the job.
  void PutSheets(const QByteArray& pdf, QPrinter* printer);
  // Ends the job PrintOn started, telling the user when it failed.
  void EndPrint(bool ok);
  // False, after telling the user, while a job runs.
  bool ReadyToPrint();
  // Prints synchronously for the preview, which paints in one call.
  void PaintPreview(QPrinter* printer);
  // Puts the page script for the present writing into every page loaded
  // from now on.
  void InstallPageScript();

  QString m_strLocation;
  std::unique_ptr<QPrinter> m_printer;
  bool m_bPrinting = false;
  QPointer<QThread> m_pPrintJob;  // the last job's sheets, while they go out
  int m_nTextSize;
  bool m_bVertical = false;
  CFindBar* m_pFindBar = nullptr;
  QList<QAction*> m_menuActions;
};

#endif  // CODEXA_VIEW_CODEXAVIEW_H_
