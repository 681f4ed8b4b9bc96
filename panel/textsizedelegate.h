// CTextSizeDelegate: the item delegate of a list whose rows differ only in
// their texts (the result list). Laying a text out to measure it is the
// dearest part of fitting a column to its contents, and the same names
// (categories, works, volumes, small numbers) come back row after row and
// search after search; the delegate measures each text once per column and
// font and answers the same size hint the standard delegate gave.
#ifndef CODEXA_PANEL_TEXTSIZEDELEGATE_H_
#define CODEXA_PANEL_TEXTSIZEDELEGATE_H_

#include <QHash>
#include <QStyledItemDelegate>

class CTextSizeDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  // More distinct texts than a catalogue's names and a few list pages'
  // numbers start the memory afresh.
  static constexpr qsizetype kMaxRemembered = 8192;
  mutable QHash<QString, QSize> m_sizes;
};

#endif  // CODEXA_PANEL_TEXTSIZEDELEGATE_H_
