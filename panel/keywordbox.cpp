#include "panel/keywordbox.h"

#include <QFont>
#include <QPalette>

#include "session/searchrun.h"

CKeywordBox::CKeywordBox(QWidget* parent) : QLineEdit(parent) {
  QFont font;
  // The Hanazono faces last: they draw the rare characters of the
  // extension blocks that the others lack.
  font.setFamilies({"SimSun", "Noto Serif CJK SC", "Noto Serif CJK JP", "serif", "HanaMinA", "HanaMinB"});
  font.setPixelSize(14);
  setFont(font);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, QColor(0xEC, 0xE9, 0xD8));
  colours.setColor(QPalette::Text, QColor(0x66, 0x66, 0x66));
  setPalette(colours);
}

std::u16string CKeywordBox::ReadKeyword() const { return KeywordOfText(text().toStdU16String()); }
