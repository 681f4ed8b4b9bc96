// CTextSizeDelegate: the item delegate of a list whose rows differ only in
// their texts (the result list). Laying a text out to measure it is the
// dearest part of fitting a column to its contents, and the same names
// (categories, works, volumes, small numbers) come back row after row and
// search after search; the delegate measures each text once per column and
// answers the same size hint the standard delegate gave.
#ifndef CODEXA_PANEL_TEXTSIZEDELEGATE_H_
#define CODEXA_PANEL_TEXTSIZEDELEGATE_H_

#include <QFont>
#include <QHash>
#include <QPair>
#include <QStyledItemDelegate>

class CTextSizeDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  // More distinct texts than a catalogue's names and a few list pages'
  // numbers start the memory afresh.
  static constexpr qsizetype kMaxRemembered = 8192;
  // The sizes hold for this font and decoration size; another forgets them.
  mutable QFont m_font;
  mutable QSize m_decorationSize;
  mutable QHash<QPair<int, QString>, QSize> m_sizes;  // by column and text
};

#endif  // CODEXA_PANEL_TEXTSIZEDELEGATE_H_
