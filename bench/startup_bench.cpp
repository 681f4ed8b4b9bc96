// The first search after the reader starts: from the start of the process
// to the first result list painted, as a user meets it who types a keyword
// and presses "検索" the moment the window shows.
//
//   bin/startup_bench [--runs N] [--corpus DIR] [KEYWORD]    (default 不, 5 runs)
//
// Each run starts this program again as a fresh process that sets the
// reader up exactly as its main does (the application object, the settings
// check, the main window on the corpus, shown maximised; the splash left
// out, as an automated start has it), waits for the main window's first
// paint, then chooses the search tab, types the keyword, clicks "検索" and
// waits for the result list's first paint after the click. The child
// reports the moments on the monotonic clock, which both processes share;
// the parent takes the process's start as the moment just before it
// started the child, so loading the program and its libraries counts.
// Settings go to a folder of the run's own. The first run reads a corpus
// the system may not have cached yet; the medians are over all runs.
#include <QApplication>
#include <QEvent>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <time.h>
#include <vector>

#include "app/codexa.h"
#include "app/mainfrm.h"
#include "app/qttranslations.h"
#include "bench/benchsupport.h"
#include "panel/keywordbox.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"

namespace {

constexpr const char* kChildKeyword = "CODEXA_STARTUP_BENCH_KEYWORD";

double MonotonicMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1e3 + now.tv_nsec * 1e-6;
}

// Calls `then` once at the first paint of `widget` from now on.
class CFirstPaint : public QObject {
 public:
  CFirstPaint(QWidget* widget, std::function<void()> then) : m_then(std::move(then)) {
    widget->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && m_then) {
      // After the paint itself: the frame is on its way to the screen.
      QTimer::singleShot(0, this, [then = std::move(m_then)] { then(); });
      m_then = nullptr;
      watched->removeEventFilter(this);
    }
    return false;
  }

 private:
  std::function<void()> m_then;
};

int RunChild(int argc, char** argv, const QString& keyword) {
  QTemporaryDir settings;
  CCodexaApp app(argc, argv);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  InstallQtJapanese();
  if (!app.InitInstance()) return 1;
  CMainFrame* frame = app.mainFrame();
  CLeftForm* form = frame->GetLeftForm();
  double shown = 0, clicked = 0;
  std::unique_ptr<CFirstPaint> listPainted;
  CFirstPaint framePainted(frame, [&] {
    shown = MonotonicMs();
    form->SelectTab(CLeftForm::Tab::kSearch);
    form->keywordBox()->setText(keyword);
    listPainted = std::make_unique<CFirstPaint>(form->resultList()->viewport(), [&] {
      std::printf("%.3f %.3f %.3f %zu\n", shown, clicked, MonotonicMs(), form->HitEntries().size());
      std::fflush(stdout);
      app.quit();
    });
    clicked = MonotonicMs();
    form->searchButton()->click();
  });
  QTimer::singleShot(60000, &app, [&] { app.exit(1); });
  const int result = app.exec();
  app.ExitInstance();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (const QByteArray keyword = qgetenv(kChildKeyword); !keyword.isEmpty()) {
    return RunChild(argc, argv, QString::fromUtf8(keyword));
  }
  QCoreApplication app(argc, argv);
  QStringList arguments = app.arguments().mid(1);
  int runs = 5;
  QStringList childArguments = {QStringLiteral("-Embedding")};
  QString keyword = QStringLiteral("不");
  while (!arguments.isEmpty()) {
    const QString argument = arguments.takeFirst();
    if (argument == QLatin1String("--runs") && !arguments.isEmpty()) {
      runs = std::max(1, arguments.takeFirst().toInt());
    } else if (argument == QLatin1String("--corpus") && !arguments.isEmpty()) {
      childArguments << argument << arguments.takeFirst();
    } else {
      keyword = argument;
    }
  }
  std::vector<double> toShown, toList, search;
  for (int run = 0; run < runs; ++run) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromUtf8(kChildKeyword), keyword);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    const double start = MonotonicMs();
    child.start(QCoreApplication::applicationFilePath(), childArguments);
    if (!child.waitForFinished(90000) || child.exitCode() != 0) {
      std::fprintf(stderr, "run %d failed: %s\n", run + 1, child.readAllStandardError().constData());
      return 1;
    }
    double shown = 0, clicked = 0, painted = 0;
    size_t entries = 0;
    if (std::sscanf(child.readAllStandardOutput().constData(), "%lf %lf %lf %zu", &shown, &clicked, &painted,
                    &entries) != 4) {
      std::fprintf(stderr, "run %d reported nothing\n", run + 1);
      return 1;
    }
    toShown.push_back(shown - start);
    toList.push_back(painted - start);
    search.push_back(painted - clicked);
    std::printf("run %d: window shown %.1f ms, first list painted %.1f ms after the start (search %s, %zu entries, "
                "click to list %.1f ms)\n",
                run + 1, toShown.back(), toList.back(), keyword.toUtf8().constData(), entries, search.back());
    std::fflush(stdout);
  }
  using codexa::bench::Median;
  std::printf("first search %s: start to window shown median %.1f ms, start to first list median %.1f ms "
              "(click to list %.1f ms), %d runs\n",
              keyword.toUtf8().constData(), Median(toShown), Median(toList), Median(search), runs);
  return 0;
}
