// The result list: a report-style list with one row per hit entry. A click
// on the header of the page column orders the rows now shown by their page
// number, ascending; the other headers do nothing. The order lasts until
// the list is filled again.
#ifndef CODEXA_PANEL_SORTLISTCTRL_H_
#define CODEXA_PANEL_SORTLISTCTRL_H_

#include <QStringList>
#include <QTreeWidget>
#include <cstdint>
#include <functional>

class CSortListCtrl : public QTreeWidget {
  Q_OBJECT
 public:
  // The column whose header sorts.
  static constexpr int kPageColumn = 3;

  explicit CSortListCtrl(QWidget* parent = nullptr);

  // Appends a row with its column texts and the page number it stands for.
  // With `laterText`, the row has one column more, whose text `laterText`
  // works out when it is first asked for (painted or read): a text dear to
  // find costs nothing for the rows never scrolled into view.
  void AppendRow(const QStringList& texts, uint32_t pageNumber, std::function<QString()> laterText = {});
  // The page number of row `row`.
  uint32_t RowPage(int row) const;
  int RowCount() const { return topLevelItemCount(); }
  // What a header click on `column` does.
  void OnHeaderClicked(int column);

  // The page column's text read as a number: leading blanks and a sign are
  // allowed, reading stops at the first non-digit, no digits read as 0, and
  // an overlong number reads as a huge one (capped at 10^15), never as a
  // wrapped-around small one.
  static int64_t ReadNumber(const QString& text);
};

#endif  // CODEXA_PANEL_SORTLISTCTRL_H_
