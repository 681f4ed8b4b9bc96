// The keyword box of the search tab: a one-line text field with the look of
// the keyword page (14-pixel song-style font, grey text on #ECE9D8), with
// the Hanazono faces behind it for the rare characters. Enter
// in it submits nothing by itself; the form's Enter check acts on the key.
#ifndef CODEXA_PANEL_KEYWORDBOX_H_
#define CODEXA_PANEL_KEYWORDBOX_H_

#include <QLineEdit>
#include <string>

class CKeywordBox : public QLineEdit {
  Q_OBJECT
 public:
  explicit CKeywordBox(QWidget* parent = nullptr);

  // The keyword as a search reads it (KeywordOfText): the field's text with
  // every ideographic space (U+3000) turned into a plain space. A text field
  // always has a value (empty at worst), so a run never ends for want of
  // one here. The field itself is left as typed.
  std::u16string ReadKeyword() const;
};

#endif  // CODEXA_PANEL_KEYWORDBOX_H_
