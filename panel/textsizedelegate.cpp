#include "panel/textsizedelegate.h"

QSize CTextSizeDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (option.font != m_font || option.decorationSize != m_decorationSize || m_sizes.size() >= kMaxRemembered) {
    m_sizes.clear();
    m_font = option.font;
    m_decorationSize = option.decorationSize;
  }
  const QPair<int, QString> key(index.column(), index.data(Qt::DisplayRole).toString());
  if (const auto known = m_sizes.constFind(key); known != m_sizes.cend()) return *known;
  const QSize size = QStyledItemDelegate::sizeHint(option, index);
  m_sizes.insert(key, size);
  return size;
}
