// A reader's two panes as a process of their own, for the test of readers
// running side by side: shows the contents page of one record of a corpus,
// writes the path of its page file on standard output, and ends when its
// standard input closes, as a reader ends, removing its page folder.
//
//   codexa-pageshow CORPUS RECORD
#include <QApplication>
#include <QSocketNotifier>
#include <QTreeWidget>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "panel/panelwindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::cerr << "usage: codexa-pageshow CORPUS RECORD\n";
    return 2;
  }
  const std::filesystem::path corpus = argv[1];
  CLeftForm::Places places = CLeftForm::Places::Default();
  places.programFolder = corpus;
  places.listingFile = corpus / "zemo.txt";
  CPanelWindow window(places);
  QTreeWidgetItem* item = window.form()->TreeItemOfRecord(std::atoi(argv[2]));
  if (item == nullptr) {
    std::cerr << "codexa-pageshow: no record " << argv[2] << "\n";
    return 3;
  }
  window.form()->tree()->setCurrentItem(item);
  std::cout << window.form()->PageFile().toStdString() << std::endl;
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
    char buffer[64];
    if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) app.quit();
  });
  return app.exec();
}
