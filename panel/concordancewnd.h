// The concordance window (用例一覧): every occurrence of the last search's
// keywords in its scope, one row each, with the text before and after it,
// its category, work, volume and page. The rows come from a table model
// over CConcordance, which reads a page only when one of its rows is
// drawn, so the first screen shows at once however many rows there are.
// A click on the header of the text before or after the hit sorts by it
// (reading every page once); on any other column, back to list order. A
// double-click opens the hit page at that occurrence.
#ifndef CODEXA_PANEL_CONCORDANCEWND_H_
#define CODEXA_PANEL_CONCORDANCEWND_H_

#include <QAbstractTableModel>
#include <QDialog>
#include <cstdint>

#include "session/concordance.h"

class CLeftForm;
class QTableView;

class CConcordanceModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kLeft, kHit, kRight, kCategory, kTitle, kVolume, kPage, kColumnCount };

  CConcordanceModel(CIndex& index, CConcordance concordance, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  const CConcordance& Concordance() const { return m_concordance; }
  CConcordance& MutableConcordance() { return m_concordance; }

 private:
  CIndex& m_index;
  // Lines are read lazily from a const data(): the cache is the model's
  // own business, not its visible state.
  mutable CConcordance m_concordance;
};

class CConcordanceWnd : public QDialog {
  Q_OBJECT
 public:
  // The concordance of `form`'s last result.
  explicit CConcordanceWnd(CLeftForm& form, QWidget* parent = nullptr);

  QTableView* table() const { return m_pTable; }
  CConcordanceModel* model() const { return m_pModel; }
  // Opens the hit of row `row` in the form's text view.
  void OpenRow(int row);

 private:
  // Sizes the label columns to their texts and the window to every column.
  void FitColumns();

  CLeftForm& m_form;
  CConcordanceModel* m_pModel = nullptr;
  QTableView* m_pTable = nullptr;
};

#endif  // CODEXA_PANEL_CONCORDANCEWND_H_
