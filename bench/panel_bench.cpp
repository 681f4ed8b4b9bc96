// The left form's search run and hit opening, timed as the user meets them:
// from the "検索" button press to the filled first list page, and from the
// choice of a row to the view being sent to the written hit page.
//
//   bin/panel_bench [CORPUS_DIR]    (default: the program folder)
//
// The scope is the first category, as the form starts. The keywords are
// the most frequent character of that category's pages and a rare
// two-character word taken from them.
#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "bench/benchsupport.h"
#include "panel/keywordbox.h"
#include "panel/panelwindow.h"
#include "panel/sortlistctrl.h"
#include "panel/testsupport.h"

namespace {

constexpr int kRuns = 15;
using codexa::bench::Median;


// The text of the first category's pages, tags removed.
std::vector<QString> CategoryTexts(CLeftForm& form) {
  const NodeItemRecord& category = form.catalogue().Record(1);
  std::vector<QString> texts;
  static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
  for (int i = 0; i < category.docNo; ++i) {
    std::string bytes;
    if (form.index().ReadPage(static_cast<uint32_t>(category.docID - 1 + i), bytes)) {
      texts.push_back(QString::fromStdString(bytes).remove(tag));
    }
  }
  return texts;
}

bool IsIdeograph(QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; }

// The most frequent ideograph, and the adjacent pair whose commoner
// character is the rarest.
std::pair<QString, QString> PickKeywords(const std::vector<QString>& texts) {
  std::map<char16_t, int> counts;
  for (const QString& text : texts) {
    for (QChar c : text) {
      if (IsIdeograph(c)) ++counts[c.unicode()];
    }
  }
  auto frequent = std::max_element(counts.begin(), counts.end(),
                                   [](const auto& a, const auto& b) { return a.second < b.second; });
  QString rare;
  int rareScore = INT32_MAX;
  for (const QString& text : texts) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
      if (!IsIdeograph(text[i]) || !IsIdeograph(text[i + 1])) continue;
      const int score = std::max(counts[text[i].unicode()], counts[text[i + 1].unicode()]);
      if (score < rareScore) {
        rareScore = score;
        rare = text.mid(i, 2);
      }
    }
  }
  return {frequent == counts.end() ? QString() : QString(QChar(frequent->first)), rare};
}

void TimeSearch(CLeftForm& form, const QString& keyword, const char* label) {
  std::vector<double> times;
  form.keywordBox()->setText(keyword);
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer timer;
    timer.start();
    form.OnSearch();
    times.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::printf("search %-10s %-6s %7zu entries  median %8.2f ms  (min %.2f, max %.2f)\n", label,
              keyword.toUtf8().constData(), form.HitEntries().size(), Median(times),
              *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()));
}

void TimeOpenHit(CLeftForm& form) {
  std::vector<double> times;
  const int rows = form.resultList()->RowCount();
  for (int run = 0; run < kRuns && rows > 0; ++run) {
    QElapsedTimer timer;
    timer.start();
    form.OpenHit(run % rows);
    times.push_back(timer.nsecsElapsed() / 1e6);
    QApplication::processEvents();
  }
  if (!times.empty()) {
    std::printf("open hit (render, write, navigate)  %d anchors on the last  median %8.2f ms  (max %.2f)\n",
                form.Reading().PageHits(), Median(times), *std::max_element(times.begin(), times.end()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  CWarningRecorder warnings;
  QTemporaryDir work;
  CLeftForm::Places places = CLeftForm::Places::Default();
  if (argc > 1) places.programFolder = argv[1];
  places.tempBase = work.path().toStdString();
  places.listingFile = work.filePath("zemo.txt").toStdString();
  CPanelWindow window(places);
  CLeftForm& form = *window.form();
  if (!form.index().IsOpen() || form.catalogue().NodeCount() < 2) {
    std::fprintf(stderr, "no corpus in %s\n", places.programFolder.c_str());
    return 1;
  }
  const auto [frequent, rare] = PickKeywords(CategoryTexts(form));
  std::printf("scope: %s, %d pages\n", QString::fromStdU16String(form.catalogue().Record(1).Name()).toUtf8().constData(),
              form.catalogue().Record(1).docNo);
  TimeSearch(form, rare, "rare");
  TimeSearch(form, frequent, "frequent");
  TimeOpenHit(form);
  for (const std::string& message : warnings.messages) std::fprintf(stderr, "message: %s\n", message.c_str());
  return 0;
}
