// CLeftForm: the left pane of the reader. Two tabs: "目録" holds the
// contents tree of the catalogue, "検索" the keyword box, the search
// options and scope, the tally, the result list and its pager.
//
// The form owns the reader's one search engine, the catalogue with its
// contents tree, the hit entries of the last search, and the reading state
// (session/readingstate.h: the volume and page being read, the hit page
// last opened and its current anchor). The main frame's commands and tool
// bar read that state through Reading() and move it only through the
// form's Show... operations, which show the page first; ReadingChanged
// tells them of every change. It shows pages by writing them to private
// page files (see CPageFolder) and sending the text view there; the frame
// hands it the view with SetTextView.
#ifndef CODEXA_PANEL_LEFTFORM_H_
#define CODEXA_PANEL_LEFTFORM_H_

#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "corpus/catalogue.h"
#include "engine/corpusfiles.h"
#include "engine/index.h"
#include "panel/pagefolder.h"
#include "session/bookmarks.h"
#include "session/readingstate.h"
#include "session/searchhistory.h"
#include "session/searchrun.h"

class CCodexaView;
class QCompleter;
class QStandardItemModel;
class CKeywordBox;
class CSortListCtrl;
class CToolTipResourceButton;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

class CLeftForm : public QWidget {
  Q_OBJECT
 public:
  // Where the form finds and puts its files.
  struct Places {
    std::filesystem::path programFolder;  // the corpus ("Index", "zemo.dir", "Back.gif")
    std::filesystem::path tempBase;       // the private page folder is made under it
    std::filesystem::path listingFile;    // the catalogue listing "zemo.txt"
    // The executable's folder, the system's temporary folder and "zemo.txt"
    // in the working folder.
    static Places Default();
  };

  // The two tabs, in their order on the tab control.
  enum class Tab { kContents = 0, kSearch = 1 };
  static constexpr int kRowsPerListPage = 100;
  // The tree's first item, above the categories: the whole corpus as the
  // scope. Its scope record is kWholeCorpusRecord, which no record has.
  static constexpr const char* kWholeCorpusName = "全体";
  static constexpr int kWholeCorpusRecord = -1;
  // The search targets' labels, by display code: the option buttons' and
  // the search history's.
  static constexpr const char* kTargetLabels[3] = {"全文", "正文", "注釈"};
  // The tree's column of hit-page counts, beside the names.
  static constexpr int kCountColumn = 1;

  // Opens the engine on the full text, loads the catalogue into the tree
  // and builds the controls. Failures are shown (ShowWarning) and leave the
  // form usable.
  explicit CLeftForm(const Places& places = Places::Default(), QWidget* parent = nullptr);
  // Closes the engine and deletes the three page files.
  ~CLeftForm() override;

  // The text view the form shows pages in (not owned; may be null).
  void SetTextView(CCodexaView* view) { m_pView = view; }
  CCodexaView* TextView() const { return m_pView; }

  // Shows one page of catalogue record `record` in the text view: the first
  // page when `useFirstPage` is 1, else the page with file number
  // `fileNumber`. Nothing is written and the view keeps its page when the
  // record holds no such page or the page cannot be read; answers whether
  // the page was shown.
  bool ShowRecordPage(int record, int useFirstPage, int fileNumber);

  // The page label's text: the corpus's page count and the current page,
  // "%d/%d".
  QString PageLabelText() const;

  // --- Reading: the state, and the moves of the frame's commands ---
  const CReadingState& Reading() const { return m_reading; }
  // Shows page `fileNumber` of the volume being read; the state moves to it
  // only when it was shown. Answers whether it was.
  bool ShowVolumePage(int fileNumber);
  // Makes volume record `record` the one being read and shows its first
  // page (VolumeShown), then moves the tree to its item, whose selection
  // handling also makes it the search scope; a volume without an item
  // leaves the tree alone.
  void ShowVolume(int record);
  // The hit page shown becomes the page being read in its own volume
  // (CReadingState::OpenHitInVolume), still shown with its hits: the
  // volume's tree item is selected and scrolled into view and becomes the
  // search scope, without showing the volume's first page. Answers whether
  // the state moved.
  bool ShowHitInVolume();
  // Steps to the previous or next anchor of the hit page last opened and
  // scrolls the view there; nothing when the state's rule forbids it.
  void ShowPrevHit();
  void ShowNextHit();

  // --- Bookmarks (leftform_bookmarks.cpp) ---
  // The bookmark of the page shown (session/bookmarkplace.h); none while
  // nothing is shown or for a page outside every volume.
  std::optional<Bookmark> BookmarkOfShownPage() const;
  // Shows the page of `bookmark` found in this corpus: a contents page
  // becomes the page read in its volume, the tree and the scope following
  // (as ShowHitInVolume); a hit page is rendered again with the bookmark's
  // search and opened as a hit from the list is, its volume left as it
  // was. False, and nothing moves, when the corpus has no such page or it
  // cannot be shown.
  bool ShowBookmark(const Bookmark& bookmark);

  // The search run: reads the keyword, checks scope and keyword, searches,
  // applies the scope and lists page 1 of the result.
  void OnSearch();
  // Closes the engine and opens the target of `displayCode`; keeps the
  // result and sets the display code used to open hits.
  void SelectTarget(DisplayCode displayCode);
  // The characters of context either side of the list's first hit, and the
  // marks that set the hit off.
  static constexpr std::size_t kListContextChars = 12;
  static constexpr int kContextColumn = 5;
  static constexpr const char* kListColumnsKey = "ResultList/columns";
  static constexpr const char* kHistoryKey = "Search/history";
  static constexpr const char* kHitOpenMark = "【";
  static constexpr const char* kHitCloseMark = "】";
  // Shows list page m_nResultPage (nothing when it is out of range): the
  // entry's labels, its hit count and its first hit in context, worked out
  // for the rows of the page only, the context when its row is shown.
  void FillResultPage();
  // Applies the number typed in the page edit.
  void GotoTypedPage();
  void OnPrevResultPage();
  void OnNextResultPage();
  // Renders the hit page of row `row` of the list and shows it at "#0000".
  void OpenHit(int row);
  // Renders hit page `pageNumber` and shows it at its anchor number
  // `anchor` (0 for the first), as the next-hit command would step to it.
  void OpenHitAt(uint32_t pageNumber, int anchor);
  // --- Search history: the last searches, newest first, in the settings ---
  const CSearchHistory& History() const { return m_history; }
  // Opens the keyword box's drop-down of past searches: the Down key, or
  // the arrow at the box's right end, which shows once there is a history.
  void ShowHistory();
  // Restores record `row` of the history (keyword, options, scope) and
  // runs it.
  void RunHistory(int row);
  QCompleter* historyCompleter() const { return m_pHistoryCompleter; }
  QAction* historyArrow() const { return m_pHistoryArrow; }
  // Opens the concordance window (用例一覧) of the last result; it saves
  // the concordance itself.
  void ShowConcordance();
  // Saves every entry of the last result as CSV or TSV (exportdlg.h).
  void SaveResult();
  // Places, shows and hides the controls for the active tab.
  void LayoutControls();
  // The narrowest width at which every control of the search tab is whole
  // and none covers another, from the controls' size hints; the form's
  // minimum width.
  int MinimumLayoutWidth() const;

  // --- Search state ---
  SearchMode Mode() const { return m_nSearchMode; }
  bool Variant() const { return m_bVariant; }
  const std::u16string& Keyword() const { return m_strKeyword; }
  DisplayCode Display() const { return m_nDisplayCode; }
  // The scope's record, or kWholeCorpusRecord.
  int ScopeRecord() const { return m_nScopeRecord; }
  // The scope's node: the catalogue's root for the whole corpus; null when
  // the scope record has no node.
  const ContentsNodeTag* ScopeNode() const;
  const QString& ScopeText() const { return m_strScopePath; }
  int ResultPages() const { return m_nResultPages; }
  int ResultPage() const { return m_nResultPage; }
  const CHitList& HitEntries() const { return m_hitEntries; }
  QString PageFile() const;
  QString HitFile(int which) const;  // 1 or 2

  CIndex& index() { return m_index; }
  const CCatalogue& catalogue() const { return m_catalogue; }

  // --- Controls ---
  Tab CurrentTab() const;
  void SelectTab(Tab tab);
  QTabWidget* tabs() const { return m_pTabs; }
  QTreeWidget* tree() const { return m_pTree; }
  CKeywordBox* keywordBox() const { return m_pKeywordBox; }
  QPushButton* searchButton() const { return m_pSearchButton; }
  QCheckBox* variantBox() const { return m_pVariantBox; }
  QRadioButton* modeButton(SearchMode mode) const { return m_modeButtons[static_cast<int>(mode)]; }
  QRadioButton* targetButton(DisplayCode displayCode) const {
    return m_targetButtons[static_cast<int>(displayCode)];
  }
  QLabel* scopeLabel() const { return m_pScopeLabel; }
  QLabel* tallyLabel() const { return m_pTallyLabel; }
  CSortListCtrl* resultList() const { return m_pResultList; }
  CToolTipResourceButton* prevPageButton() const { return m_pPrevButton; }
  CToolTipResourceButton* nextPageButton() const { return m_pNextButton; }
  QLineEdit* pageEdit() const { return m_pPageEdit; }
  QLabel* pageCountLabel() const { return m_pPageCountLabel; }
  // The tree item of record `record`; null when it has none.
  QTreeWidgetItem* TreeItemOfRecord(int record) const;

 signals:
  // A volume was chosen in the tree and its first page shown: the page
  // slider's range is `firstFile` .. `lastFile`, its position `firstFile`.
  void VolumeShown(int firstFile, int lastFile);
  // The reading state changed: a volume, a page, a hit page or an anchor.
  void ReadingChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  // Lays the new tab out and gives its first control the keyboard.
  void OnTabChanged();
  void PreparePageFiles(const Places& places);
  void BuildTree();
  void LayoutSearchTab(int w, int h);
  // The three target buttons' places, which do not depend on the width.
  std::array<QRect, 3> TargetButtonPlaces() const;
  void ShowSearchControls(bool show);
  void ShowPager(bool show);
  void UpdatePager();
  // The result list's column widths and order, kept in the user's
  // settings under kListColumnsKey between runs.
  void RestoreListColumns();
  void SaveListColumns() const;
  // The search history (leftform_history.cpp).
  void CreateHistory();
  void FillHistoryModel();
  // Adds the search just run; the settings get it once the list is shown.
  void RecordSearch();
  // Writes the history into the settings now.
  void SaveHistory();
  void OnTreeSelectionChanged();
  // Puts each tree item's number of hit pages in the last result beside
  // its name, grey; none for items without hits.
  void ShowHitCounts();
  // The first hit of `page` for `keyword` with its context, the hit set
  // off; empty when the page shows none.
  QString FirstHitInContext(uint32_t page, const std::u16string& keyword, DisplayCode displayCode, bool variants);
  // Makes record `record` the search scope and shows its path.
  void SetScope(int record);
  // The scope label of record `record` (kWholeCorpusRecord included);
  // empty for a record the catalogue has no node for.
  QString ScopeLabelOf(int record) const;
  void OnResultSelectionChanged();
  // The Enter check; true when the key was used.
  bool OnEnterKey();
  bool ShowPageFile(const std::filesystem::path& file, const std::string& bytes, const QString& fragment);
  // The hit entry of list page `page`; an empty one when none holds it.
  SearchNodeTag EntryOfPage(uint32_t page) const;
  // Scrolls the view to the current anchor of the hit page.
  void NavigateToHit();
  // Renders hit page `pageNumber` with the last search and shows it at
  // "#0000"; false when the page could not be read or written.
  bool OpenHitPage(uint32_t pageNumber);
  // The same with `search`, the page's entry being `entry`.
  bool OpenHitPage(uint32_t pageNumber, const HitSearch& search, SearchNodeTag entry);
  // Selects the tree item of the volume being read, without showing its
  // first page, and makes it the scope.
  void FollowReadingInTree();

  // Engine, catalogue and files.
  std::filesystem::path m_programFolder;
  CIndex m_index;
  // The corpus files as they were when the form opened them first.
  CorpusFiles m_corpusFiles;
  CCatalogue m_catalogue;
  CReadingState m_reading{m_catalogue};
  CPageFolder m_pageFolder;
  std::filesystem::path m_strPageFile;
  std::filesystem::path m_strHitFile1;
  std::filesystem::path m_strHitFile2;
  CCodexaView* m_pView = nullptr;

  // Search options and result.
  SearchMode m_nSearchMode = SearchMode::kAnd;
  bool m_bVariant = true;
  std::u16string m_strKeyword;
  DisplayCode m_nDisplayCode = DisplayCode::kFullText;
  int m_nScopeRecord = 1;
  QString m_strScopePath;
  CHitList m_hitEntries;
  CSearchHistory m_history;
  QStandardItemModel* m_pHistoryModel = nullptr;
  QCompleter* m_pHistoryCompleter = nullptr;
  QAction* m_pHistoryArrow = nullptr;
  QTimer* m_pHistorySaver = nullptr;
  int m_nResultPages = 0;
  int m_nResultPage = 0;
  bool m_bHitFileToggle = true;

  // Controls (owned by the widget tree).
  QTabWidget* m_pTabs = nullptr;
  QTreeWidget* m_pTree = nullptr;
  QLabel* m_pPrompt = nullptr;
  CKeywordBox* m_pKeywordBox = nullptr;
  QPushButton* m_pSearchButton = nullptr;
  QFrame* m_pLine = nullptr;
  QCheckBox* m_pVariantBox = nullptr;
  QGroupBox* m_pModeGroup = nullptr;
  QRadioButton* m_modeButtons[2] = {};
  QGroupBox* m_pTargetGroup = nullptr;
  QRadioButton* m_targetButtons[3] = {};
  QGroupBox* m_pScopeGroup = nullptr;
  QLabel* m_pScopeLabel = nullptr;
  QLabel* m_pTallyLabel = nullptr;
  CSortListCtrl* m_pResultList = nullptr;
  CToolTipResourceButton* m_pPrevButton = nullptr;
  CToolTipResourceButton* m_pNextButton = nullptr;
  QLineEdit* m_pPageEdit = nullptr;
  QLabel* m_pPageCountLabel = nullptr;
  std::vector<QTreeWidgetItem*> m_treeItemOfRecord;  // by record index
  bool m_bPagerShown = false;
};

#endif  // CODEXA_PANEL_LEFTFORM_H_
