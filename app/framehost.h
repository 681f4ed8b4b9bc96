// CFrameHost: owns the reader's one main window and puts it on a corpus.
//
// Everything that belongs to a corpus (the engine, the catalogue and its
// tree, the reading state, the result list, the page folder) lives in the
// frame's left form and goes with the frame. Another corpus is therefore
// opened by replacing the frame whole: the old one is destroyed first (its
// splitter saves the layout, its form removes its page folder), then a new
// one is built on the chosen folder, exactly as at start. Nothing of one
// corpus's state can leak into the other, and no part of the shell needs a
// "reset" of its own.
#ifndef CODEXA_APP_FRAMEHOST_H_
#define CODEXA_APP_FRAMEHOST_H_

#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>

#include "app/mainfrm.h"
#include "panel/leftform.h"

class CFrameHost : public QObject {
  Q_OBJECT
 public:
  // `places` are the reader's own (page folder base, listing file); each
  // frame gets them with the corpus folder in place of the program folder.
  // `programFolder` holds the splash movie and the help page.
  CFrameHost(const CLeftForm::Places& places, QString programFolder);
  ~CFrameHost() override;

  // Builds the frame on `corpus` and shows it maximised. The form checks
  // the corpus and shows its messages as at every start; a corpus that
  // opened is remembered in the recent list.
  void Start(const std::filesystem::path& corpus);

  // Opens `folder` from the menu: the same checks and messages as at
  // start, but run before anything is replaced, so a folder that does not
  // open leaves the frame on its corpus. Answers whether it was opened.
  bool Switch(const QString& folder);

  // Destroys the frame.
  void Close();

  CMainFrame* frame() const { return m_pFrame.get(); }

 private:
  CLeftForm::Places m_places;
  QString m_strProgramFolder;
  std::unique_ptr<CMainFrame> m_pFrame;
};

// Whether `folder` holds a corpus the reader opens: the full-text index and
// the catalogue, each failure shown with its start-up message.
bool CheckCorpus(const std::filesystem::path& folder);

#endif  // CODEXA_APP_FRAMEHOST_H_
