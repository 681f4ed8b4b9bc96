#include "tools/build/pagelayout.h"

#include <string_view>
#include <utility>

#include "tools/build/textnormalize.h"
#include "tools/build/utf8.h"

namespace codexa::build {

namespace {

constexpr std::string_view kHead = "<html><head><meta charset=UTF-8><title>";
// The body and table attributes dress the stored page only: the renderer's
// frame keeps nothing but what the cells hold.
constexpr std::string_view kBody =
    "</title></head><body bgcolor=#f3eee0><table align=center bgcolor=#fffdf6 cellspacing=0 cellpadding=0 "
    "style=\"border:1px solid #c9b37c\"><tr>";
constexpr std::string_view kTail = "</tr></table></body></html>";

// The text column's fixed width also widens the frame's narrow first cell
// on even pages.
constexpr std::string_view kTextCell =
    "<TD valign=top><div style=\"width:430px;padding:10px 18px;text-align:left;font-size:17px;line-height:1.8\">";
constexpr std::string_view kFoldCell =
    "<TD valign=top align=center width=80 bgcolor=#f1e6c8><div style=\"display:inline-block;"
    "writing-mode:vertical-rl;margin:14px 0;font-size:15px;letter-spacing:3px;color:#6b5636\">";
constexpr std::string_view kCellEnd = "</div></TD>";
constexpr std::string_view kNoteOpen = "<font size=-1 color=\"#993366\">";

void AppendPiece(const PageContent& piece, std::string& out) {
  if (!piece.title.empty()) {
    out += "<h4>";
    AppendDisplayText(piece.title, out);
    out += "</h4>";
  }
  for (size_t p = 0; p < piece.paragraphs.size(); ++p) {
    if (p > 0) out += "<br>";
    for (const Run& run : piece.paragraphs[p].runs) {
      if (run.kind == RunKind::kAnnotation) {
        out += kNoteOpen;
        AppendDisplayText(run.text, out);
        out += "</font>";
      } else {
        AppendDisplayText(run.text, out);
      }
    }
  }
}

void AppendTextCell(const PagePieces& pieces, std::string& out) {
  out += kTextCell;
  for (size_t i = 0; i < pieces.size(); ++i) {
    // A piece without a title still starts on a line of its own.
    if (i > 0 && pieces[i].title.empty()) out += "<br>";
    AppendPiece(pieces[i], out);
  }
  out += kCellEnd;
}

void AppendFoldCell(const LeafLabels& labels, int fileNumber, std::string& out) {
  out += kFoldCell;
  AppendDisplayText(labels.work, out);
  out += "<br>";
  AppendDisplayText(labels.volume, out);
  out += "<br>";
  out += ChineseNumber(fileNumber);
  out += kCellEnd;
}

// The first piece names the page; "等" says that more follow.
void AppendPageTitle(const PagePieces& pieces, const LeafLabels& labels, std::string& out) {
  if (pieces.empty() || pieces[0].title.empty()) return AppendDisplayText(labels.work, out);
  AppendDisplayText(pieces[0].title, out);
  if (pieces.size() > 1) out += "　等";
}

size_t ParagraphLength(const Paragraph& paragraph) {
  size_t length = 0;
  for (const Run& run : paragraph.runs) length += CountCodePoints(run.text);
  return length;
}

}  // namespace

std::string LayOutPage(const PagePieces& pieces, const LeafLabels& labels, int fileNumber) {
  std::string html(kHead);
  AppendPageTitle(pieces, labels, html);
  html += kBody;
  if (fileNumber % 2 == 0) {
    AppendTextCell(pieces, html);
    AppendFoldCell(labels, fileNumber, html);
  } else {
    AppendFoldCell(labels, fileNumber, html);
    AppendTextCell(pieces, html);
  }
  html += kTail;
  return html;
}

size_t PageLength(const PageContent& piece) {
  size_t length = CountCodePoints(piece.title);
  for (const Paragraph& paragraph : piece.paragraphs) length += ParagraphLength(paragraph);
  return length;
}

std::vector<PageContent> Paginate(PageContent piece, size_t budget) {
  std::vector<PageContent> pages(1);
  pages[0].title = piece.title;
  size_t used = CountCodePoints(piece.title);
  for (Paragraph& paragraph : piece.paragraphs) {
    const size_t length = ParagraphLength(paragraph);
    if (used + length > budget && !pages.back().paragraphs.empty()) {
      pages.push_back({piece.title + "（" + ChineseNumber(static_cast<int>(pages.size()) + 1) + "）", {}});
      used = CountCodePoints(pages.back().title);
    }
    used += length;
    pages.back().paragraphs.push_back(std::move(paragraph));
  }
  return pages;
}

void PagePacker::Add(PageContent piece, std::vector<PagePieces>& full) {
  const size_t length = PageLength(piece);
  if (length <= m_nBudget) {
    Place(std::move(piece), length, full);
    return;
  }
  // A long piece starts a page of its own; only its last part may share one
  // with the pieces after it.
  Flush(full);
  for (PageContent& part : Paginate(std::move(piece), m_nBudget)) {
    const size_t partLength = PageLength(part);
    Place(std::move(part), partLength, full);
  }
}

void PagePacker::Place(PageContent part, size_t length, std::vector<PagePieces>& full) {
  if (!m_page.empty() && m_nUsed + length > m_nBudget) Flush(full);
  m_nUsed += length;
  m_page.push_back(std::move(part));
}

void PagePacker::Flush(std::vector<PagePieces>& full) {
  if (m_page.empty()) return;
  full.push_back(std::move(m_page));
  m_page.clear();
  m_nUsed = 0;
}

}  // namespace codexa::build
