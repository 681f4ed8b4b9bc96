// A long session in one reader: the main frame on a corpus, offscreen,
// driven through random actions as a user drives it (searches over random
// scopes, targets, modes, folding and keywords; hit openings; the page,
// volume and hit commands; the hit page opened in its volume; tab
// switches; text size and vertical writing). Every tenth of the run, and
// at least every 1,000 actions, it prints the process's resident memory,
// its open descriptors and the files in its page folder.
//
//   bin/codexa_soak [--actions N] [--seed S] [--corpus DIR] [--check]
//
// Without --corpus it writes the panel tests' small corpus to a scratch
// folder. --check (the short run in the tests) exits 1 when, from just
// after warm-up to the end, descriptors or page files grew at all or
// resident memory grew by half: a leak of a page, a view or a file a step
// shows there, while allocator and web-engine caches that settle at their
// own pace on a busy machine do not.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSettings>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/codexa.h"
#include "app/mainfrm.h"
#include "panel/keywordbox.h"
#include "panel/messagebox.h"
#include "panel/sortlistctrl.h"
#include "panel/testcorpus.h"

namespace {

struct Options {
  long actions = 10000;
  unsigned seed = 1;
  std::string corpus;
  bool check = false;
};

struct Sample {
  long actions = 0;
  long residentKb = 0;
  long descriptors = 0;
  long pageFiles = 0;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--actions") == 0 && hasValue) {
      options.actions = std::atol(argv[++i]);
    } else if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
      options.seed = static_cast<unsigned>(std::atol(argv[++i]));
    } else if (std::strcmp(argv[i], "--corpus") == 0 && hasValue) {
      options.corpus = argv[++i];
    } else if (std::strcmp(argv[i], "--check") == 0) {
      options.check = true;
    } else {
      return false;
    }
  }
  return options.actions > 0;
}

long ResidentKb() {
  long pages = 0, resident = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

long CountEntries(const QString& folder, QDir::Filters filters, QDirIterator::IteratorFlags flags) {
  long count = 0;
  QDirIterator entries(folder, filters, flags);
  while (entries.hasNext()) {
    entries.next();
    ++count;
  }
  return count;
}

// Lets the view and the web engine catch up, as the pause between a
// user's clicks does.
void Settle(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

class CSession {
 public:
  CSession(CMainFrame& frame, unsigned seed) : m_frame(frame), m_random(seed) {}

  void Act() {
    using enum Command;
    switch (Pick(8)) {
      case 0: Search(); break;
      case 1: OpenHit(); break;
      case 2: TriggerOne({kPrevPage, kNextPage, kPrevVolume, kNextVolume, kPrevHit, kNextHit}); break;
      case 3: TriggerOne({kOpenHitInVolume}); break;
      case 4: Form().SelectTab(Pick(2) == 0 ? CLeftForm::Tab::kContents : CLeftForm::Tab::kSearch); break;
      case 5: TriggerOne({kViewTextLarger, kViewTextSmaller, kViewTextStandard, kViewVertical}); break;
      case 6: SelectTreeItem(); break;
      default: TriggerOne({kNextPage, kNextHit}); break;
    }
  }

 private:
  CLeftForm& Form() { return *m_frame.GetLeftForm(); }
  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

  // Triggers one of `commands`, picked at random, when it is enabled.
  void TriggerOne(std::initializer_list<Command> commands) {
    const Command command = *(commands.begin() + Pick(static_cast<int>(commands.size())));
    m_frame.UpdateCommandUI();
    if (QAction* action = m_frame.Action(command); action && action->isEnabled()) action->trigger();
  }

  void SelectTreeItem() {
    std::vector<QTreeWidgetItem*> items;
    for (QTreeWidgetItemIterator it(Form().tree()); *it; ++it) items.push_back(*it);
    if (!items.empty()) Form().tree()->setCurrentItem(items[Pick(static_cast<int>(items.size()))]);
  }

  void Search() {
    // Characters of the small corpus and of most classical texts, with
    // the wildcards and several keywords at once.
    static const char* const kKeywords[] = {"雲", "雨", "鶴", "学", "松", "雲 雨", "白?", "雲*雨", "之", "不 人", "月"};
    SelectTreeItem();
    const DisplayCode targets[] = {DisplayCode::kFullText, DisplayCode::kMainText, DisplayCode::kAnnotations};
    Form().targetButton(targets[Pick(3)])->click();
    Form().modeButton(Pick(2) == 0 ? SearchMode::kAnd : SearchMode::kOr)->setChecked(true);
    Form().variantBox()->setChecked(Pick(2) == 0);
    Form().keywordBox()->setText(QString::fromUtf8(kKeywords[Pick(std::size(kKeywords))]));
    Form().SelectTab(CLeftForm::Tab::kSearch);
    Form().searchButton()->click();
  }

  void OpenHit() {
    const int rows = Form().resultList()->RowCount();
    if (rows > 0) Form().OpenHit(Pick(rows));
  }

  CMainFrame& m_frame;
  std::mt19937 m_random;
};

Sample Measure(long actions, const QString& temp) {
  return {actions, ResidentKb(), CountEntries(QStringLiteral("/proc/self/fd"), QDir::AllEntries | QDir::System, {}),
          CountEntries(temp, QDir::Files, QDirIterator::Subdirectories)};
}

void Print(const Sample& sample) {
  std::printf("%8ld actions  resident %8ld KB  descriptors %4ld  page files %4ld\n", sample.actions,
              sample.residentKb, sample.descriptors, sample.pageFiles);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  CCodexaApp::SetUpNames();
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs("usage: codexa_soak [--actions N] [--seed S] [--corpus DIR] [--check]\n", stderr);
    return 2;
  }
  QTemporaryDir work, settings, corpus;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  std::filesystem::path corpusFolder = options.corpus;
  if (corpusFolder.empty()) {
    std::string error;
    corpusFolder = corpus.path().toStdString();
    if (!codexa::paneltest::WriteCorpus(corpusFolder, codexa::paneltest::FormFixture(), error)) {
      std::fprintf(stderr, "codexa_soak: %s\n", error.c_str());
      return 1;
    }
  }
  const QString temp = work.filePath(QStringLiteral("temp"));
  QDir().mkpath(temp);
  CWarningRecorder warnings;  // a refused search is an action too, not a box to click
  CMainFrame frame(CLeftForm::Places{corpusFolder, temp.toStdString(), work.filePath("zemo.txt").toStdString()});
  frame.resize(1200, 800);
  frame.show();
  std::printf("seed %u, %ld actions, corpus %s\n", options.seed, options.actions, corpusFolder.c_str());
  CSession session(frame, options.seed);
  const long every = std::min(1000L, std::max(1L, options.actions / 10));
  std::vector<Sample> samples{Measure(0, temp)};
  Print(samples.back());
  for (long done = 1; done <= options.actions; ++done) {
    session.Act();
    Settle(2);
    if (done % every == 0) {
      samples.push_back(Measure(done, temp));
      Print(samples.back());
    }
  }
  if (!options.check || samples.size() < 7) return 0;
  // The first report after the start closes the warm-up (caches, the web
  // engine's processes, fonts). A descriptor or two comes and goes with
  // the engine's own work, so the least of the last three reports is held
  // against the most of the first three after warm-up.
  const auto most = [&](long Sample::*field) {
    return std::max({samples[1].*field, samples[2].*field, samples[3].*field});
  };
  const auto least = [&](long Sample::*field) {
    const size_t n = samples.size();
    return std::min({samples[n - 1].*field, samples[n - 2].*field, samples[n - 3].*field});
  };
  const bool grew = least(&Sample::descriptors) > most(&Sample::descriptors) ||
                    least(&Sample::pageFiles) > most(&Sample::pageFiles) ||
                    least(&Sample::residentKb) > most(&Sample::residentKb) * 3 / 2;
  if (grew) std::puts("grew after warm-up");
  return grew ? 1 : 0;
}
