// What the tests of reading in the main window share: the frame on the
// small corpus in the real text view, waiting for its pages, running
// scripts in them, and the fixture's long page opened as a hit page.
#ifndef CODEXA_APP_TESTS_READINGFIXTURE_H_
#define CODEXA_APP_TESTS_READINGFIXTURE_H_

#include <QRadioButton>
#include <QTreeWidget>
#include <functional>

#include "app/tests/framefixture.h"
#include "panel/keywordbox.h"
#include "panel/sortlistctrl.h"
#include "panel/testsupport.h"

namespace codexa::apptest {

class CReadingFixture : public CFrameFixture {
 protected:
  // The fixture's long page: file 107 of 集部\唐詩\卷一 (record 9), 0-based
  // page 106, with 白鶴 after 200 lines.
  static constexpr int kLongWork = 8;
  static constexpr int kLongVolume = 9;
  static constexpr int kLongFile = 107;
  static constexpr uint32_t kLongPage = 106;

  CCodexaView* view() const { return m_pFrame->GetTextView(); }
  QVariant Eval(const QString& script) { return paneltest::RunScript(view(), script); }
  // Runs `navigate` and waits for the view's page.
  void Shown(const std::function<void()>& navigate) { QVERIFY(paneltest::LoadAndWait(view(), navigate)); }
  // Searches `keyword` (OR) in 唐詩 and opens the row of 0-based page `page`.
  void OpenHitOfPage(const QString& keyword, uint32_t page) {
    form()->tree()->setCurrentItem(form()->TreeItemOfRecord(kLongWork));  // the scope
    form()->SelectTab(CLeftForm::Tab::kSearch);
    form()->keywordBox()->setText(keyword);
    form()->modeButton(SearchMode::kOr)->setChecked(true);
    form()->searchButton()->click();
    for (int row = 0; row < form()->resultList()->RowCount(); ++row) {
      if (form()->resultList()->RowPage(row) != page) continue;
      Shown([&] { form()->OpenHit(row); });
      return;
    }
    QFAIL("no row for the page");
  }
  void MakeFrame() {
    m_pFrame = std::make_unique<CMainFrame>(Places());
    m_pFrame->resize(1000, 700);
    m_pFrame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pFrame.get()));
  }
};

}  // namespace codexa::apptest

#endif  // CODEXA_APP_TESTS_READINGFIXTURE_H_
