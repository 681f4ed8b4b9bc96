// The left form's search run and page opening, timed as the user meets them:
//
// - from the "検索" button press to the filled first list page, over the
//   whole corpus and over each category, one line per case:
//     search <scope> <keyword> <entries> entries median <ms> ms
//   and below it the same run with the list painted on the screen after it
// - from the choice of a row of the result list, and of a volume in the
//   contents tree, to the first frames the web engine paints after the page
//   has been placed at its anchor or top, when parsed and after its load
//   (see FrameWatch below):
//     open hit|open volume ..., first frame after the placement on parsing|load median <ms> ms (...)
//     open hit|open volume ..., of it since the document's navigation began median <ms> ms (...)
//
//   bin/panel_bench [CORPUS_DIR]    (default: the program folder)
//
// The keywords: the character and the two-character word with the most hit
// pages in the whole corpus among the commonest of a sample of its pages,
// and a rare two-character word (the pair whose commoner character is the
// rarest in the sample).
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/benchsupport.h"
#include "panel/keywordbox.h"
#include "panel/panelwindow.h"
#include "panel/sortlistctrl.h"
#include "panel/testsupport.h"

namespace {

constexpr int kRuns = 15;
constexpr int kOpenRuns = 21;
// Every n-th page of the corpus makes the sample the keywords come from.
constexpr uint32_t kSampleStep = 40;
constexpr int kCandidates = 12;
using codexa::bench::Median;

// The text of every kSampleStep-th page, tags removed.
std::vector<QString> SampleTexts(CIndex& index) {
  std::vector<QString> texts;
  static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
  for (uint32_t page = 0; page < index.GetPageCount(); page += kSampleStep) {
    std::string bytes;
    if (index.ReadPage(page, bytes)) texts.push_back(QString::fromStdString(bytes).remove(tag));
  }
  return texts;
}

bool IsIdeograph(QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; }

struct Keywords {
  QString frequent;  // one character
  QString word;      // the commonest pair
  QString rare;      // a rare pair
};

// The number of pages holding `keyword` in the whole corpus.
size_t PagesOf(CIndex& index, const QString& keyword) {
  std::u16string query = keyword.toStdU16String();
  index.SearchAnd(query, true);
  return index.GetPageArray().size();
}

Keywords PickKeywords(CIndex& index, const std::vector<QString>& texts) {
  std::map<char16_t, int> counts;
  std::map<QString, int> pairs;
  for (const QString& text : texts) {
    for (qsizetype i = 0; i < text.size(); ++i) {
      if (!IsIdeograph(text[i])) continue;
      ++counts[text[i].unicode()];
      if (i + 1 < text.size() && IsIdeograph(text[i + 1])) ++pairs[text.mid(i, 2)];
    }
  }
  std::vector<std::pair<int, char16_t>> common;
  for (const auto& [c, n] : counts) common.emplace_back(n, c);
  std::sort(common.rbegin(), common.rend());
  // The sample's counts include running heads that the index leaves out:
  // the engine has the last word among the sample's commonest.
  Keywords keywords;
  size_t most = 0;
  for (int i = 0; i < kCandidates && i < static_cast<int>(common.size()); ++i) {
    const QString candidate(QChar(common[static_cast<size_t>(i)].second));
    if (const size_t pages = PagesOf(index, candidate); pages > most) {
      most = pages;
      keywords.frequent = candidate;
    }
  }
  std::vector<std::pair<int, QString>> commonPairs;
  int rareScore = INT32_MAX;
  for (const auto& [pair, n] : pairs) {
    commonPairs.emplace_back(n, pair);
    const int score = std::max(counts[pair[0].unicode()], counts[pair[1].unicode()]);
    if (score < rareScore) {
      rareScore = score;
      keywords.rare = pair;
    }
  }
  std::sort(commonPairs.rbegin(), commonPairs.rend());
  most = 0;
  for (int i = 0; i < kCandidates && i < static_cast<int>(commonPairs.size()); ++i) {
    if (const size_t pages = PagesOf(index, commonPairs[static_cast<size_t>(i)].second); pages > most) {
      most = pages;
      keywords.word = commonPairs[static_cast<size_t>(i)].second;
    }
  }
  return keywords;
}

// Selects the scope's tree item; the whole corpus is the tree's first item.
void SelectScope(CLeftForm& form, int record) {
  QTreeWidgetItem* item = record == CLeftForm::kWholeCorpusRecord ? form.tree()->topLevelItem(0)
                                                                  : form.TreeItemOfRecord(record);
  form.tree()->setCurrentItem(item);
}

// The run itself, and the run with the list painted after it: the
// context column of a row is read from its page when the row is painted.
void TimeSearch(CLeftForm& form, const QString& keyword) {
  std::vector<double> times, painted;
  form.keywordBox()->setText(keyword);
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer timer;
    timer.start();
    form.OnSearch();
    times.push_back(timer.nsecsElapsed() / 1e6);
    form.resultList()->viewport()->repaint();
    painted.push_back(timer.nsecsElapsed() / 1e6);
    QApplication::processEvents();
  }
  const QByteArray scope = form.ScopeText().toUtf8();
  const QByteArray word = keyword.toUtf8();
  std::printf("search %s %s %zu entries median %.2f ms\n", scope.constData(), word.constData(),
              form.HitEntries().size(), Median(times));
  std::printf("  with the list painted: median %.2f ms\n", Median(painted));
  std::fflush(stdout);
}

// The first frames painted after a page is placed. The view's page script
// places the page at its anchor (or top) when the document is parsed, and
// once more after the load event, where the engine would restore an old
// offset. A script of the bench's own, injected after the view's, waits
// for each of the two, then for the next animation frame and a task after
// it, which runs once that frame has been produced, and reports by setting
// the document's title, which the view announces. Only the loaded document
// is touched.
class FrameWatch {
 public:
  // Milliseconds from the choice to the frame after each placement; -1
  // where none came within ten seconds.
  struct Frames {
    double parsed = -1;
    double loaded = -1;
    // Of `loaded`, the part since the engine began the navigation (the
    // document's time origin): fetching, parsing, layout and the frame.
    // The rest is ours: rendering, writing and handing the load over.
    double loadedInDocument = -1;
  };

  explicit FrameWatch(CCodexaView& view) : m_view(view) {
    QWebEngineScript script;
    script.setName(QStringLiteral("panel-bench-frame"));
    script.setSourceCode(QStringLiteral(
        "function panelBenchAfterFrame(what) {"
        "  requestAnimationFrame(function () {"
        "    setTimeout(function () { document.title = what + ' ' + performance.now(); }, 0);"
        "  });"
        "}"
        "document.addEventListener('DOMContentLoaded', function () { panelBenchAfterFrame('parsed'); });"
        "window.addEventListener('load', function () { panelBenchAfterFrame('loaded'); });"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    view.page()->scripts().insert(script);
  }

  template <typename Open>
  Frames Time(Open open) {
    QEventLoop loop;
    QElapsedTimer timer;
    Frames frames;
    auto done = QObject::connect(&m_view, &QWebEngineView::titleChanged, &loop, [&](const QString& title) {
      if (title.startsWith(QLatin1String("parsed "))) frames.parsed = timer.nsecsElapsed() / 1e6;
      if (!title.startsWith(QLatin1String("loaded "))) return;
      frames.loaded = timer.nsecsElapsed() / 1e6;
      frames.loadedInDocument = title.section(u' ', 1, 1).toDouble();
      loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    timer.start();
    open();
    if (frames.loaded < 0) loop.exec();
    QObject::disconnect(done);
    return frames;
  }

 private:
  CCodexaView& m_view;
};

void Report(const char* what, std::vector<double> times) {
  const auto missed = std::count(times.begin(), times.end(), -1.0);
  std::erase(times, -1.0);
  if (times.empty()) {
    std::printf("%s: no frame came\n", what);
    return;
  }
  std::printf("%s median %.2f ms (min %.2f, max %.2f, %zu runs, %td without a frame)\n", what, Median(times),
              *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()),
              times.size(), missed);
  std::fflush(stdout);
}

// Both frames of each choice, and the engine's part of the later one, as
// three lines.
void ReportFrames(const char* what, const std::vector<FrameWatch::Frames>& frames) {
  std::vector<double> parsed, loaded, inDocument;
  for (const FrameWatch::Frames& f : frames) {
    parsed.push_back(f.parsed);
    loaded.push_back(f.loaded);
    inDocument.push_back(f.loadedInDocument);
  }
  Report((std::string(what) + ", first frame after the placement on parsing").c_str(), parsed);
  Report((std::string(what) + ", first frame after the placement on load").c_str(), loaded);
  Report((std::string(what) + ", of it since the document's navigation began").c_str(), inDocument);
}

void TimeOpenHit(CLeftForm& form, FrameWatch& watch) {
  std::vector<FrameWatch::Frames> frames;
  const int rows = form.resultList()->RowCount();
  for (int run = 0; run < kOpenRuns && rows > 0; ++run) {
    frames.push_back(watch.Time([&] { form.resultList()->setCurrentItem(form.resultList()->topLevelItem(run % rows)); }));
  }
  ReportFrames("open hit (row chosen to the hit shown)", frames);
}

void TimeOpenVolume(CLeftForm& form, FrameWatch& watch) {
  // Volumes in turn, so that every run loads a page of its own.
  std::vector<int> volumes;
  for (int record = 1; record < form.catalogue().NodeCount() && volumes.size() < kOpenRuns; ++record) {
    const ContentsNodeTag* node = form.catalogue().FindNodeByRecord(record);
    if (node != nullptr && node->level == 3 && form.TreeItemOfRecord(record) != nullptr) volumes.push_back(record);
  }
  std::vector<FrameWatch::Frames> frames;
  for (int record : volumes) {
    frames.push_back(watch.Time([&] { form.tree()->setCurrentItem(form.TreeItemOfRecord(record)); }));
  }
  ReportFrames("open volume (tree item chosen to its first page shown)", frames);
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
  window.show();
  CLeftForm& form = *window.form();
  if (!form.index().IsOpen() || form.catalogue().NodeCount() < 2) {
    std::fprintf(stderr, "no corpus in %s\n", places.programFolder.c_str());
    return 1;
  }
  const Keywords keywords = PickKeywords(form.index(), SampleTexts(form.index()));
  std::vector<int> scopes = {CLeftForm::kWholeCorpusRecord};
  for (const auto& category : form.catalogue().Root().children) scopes.push_back(category->record);
  for (int scope : scopes) {
    SelectScope(form, scope);
    form.SelectTab(CLeftForm::Tab::kSearch);
    for (const QString& keyword : {keywords.frequent, keywords.word, keywords.rare}) TimeSearch(form, keyword);
  }

  FrameWatch watch(*window.view());
  SelectScope(form, CLeftForm::kWholeCorpusRecord);
  form.keywordBox()->setText(keywords.frequent);
  form.OnSearch();
  TimeOpenHit(form, watch);
  form.SelectTab(CLeftForm::Tab::kContents);
  TimeOpenVolume(form, watch);
  for (const std::string& message : warnings.messages) std::fprintf(stderr, "message: %s\n", message.c_str());
  return 0;
}
