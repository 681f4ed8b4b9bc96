#include "panel/textsizedelegate.h"

QSize CTextSizeDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  // The font, the style's metrics and the column's alignment all go into
  // the size: a change of any of them measures afresh.
  const QString key = option.font.key() + u'\x1f' + QString::number(option.decorationSize.width()) + u'\x1f' +
                      QString::number(index.column()) + u'\x1f' + index.data(Qt::DisplayRole).toString();
  if (const auto known = m_sizes.constFind(key); known != m_sizes.cend()) return *known;
  if (m_sizes.size() >= kMaxRemembered) m_sizes.clear();
  const QSize size = QStyledItemDelegate::sizeHint(option, index);
  m_sizes.insert(key, size);
  return size;
}
