#include "panel/keywordbox.h"

#include <QFont>
#include <QPalette>

CKeywordBox::CKeywordBox(QWidget* parent) : QLineEdit(parent) {
  QFont font;
  font.setFamilies({"SimSun", "Noto Serif CJK SC", "Noto Serif CJK JP", "serif"});
  font.setPixelSize(14);
  setFont(font);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, QColor(0xEC, 0xE9, 0xD8));
  colours.setColor(QPalette::Text, QColor(0x66, 0x66, 0x66));
  setPalette(colours);
}

std::u16string CKeywordBox::ReadKeyword() const {
  std::u16string keyword = text().toStdU16String();
  for (char16_t& unit : keyword) {
    if (unit == u'\u3000') unit = u' ';
  }
  return keyword;
}
