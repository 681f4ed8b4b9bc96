#include "tools/build/pagelayout.h"

#include <string_view>
#include <utility>

#include "tools/build/textnormalize.h"
#include "tools/build/utf8.h"

namespace codexa::build {

namespace {

constexpr std::string_view kHead =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><title>";
// Only the stored page (the contents view) sees this sheet; the renderer's
// frame keeps what the cells say inline.
constexpr std::string_view kStyle =
    "</title><style>"
    "body{margin:0;padding:20px;background:#f3eee0}"
    "table.leaf{margin:0 auto;border:1px solid #c9b37c;background:#fffdf6;"
    "box-shadow:0 1px 5px rgba(80,60,20,.25)}"
    "td.fold{width:80px;min-width:80px;background:#f1e6c8;vertical-align:top;text-align:center}"
    "td.text{vertical-align:top}"
    "</style></head><body><table class=\"leaf\" cellspacing=0 cellpadding=0><tr>";
constexpr std::string_view kTail = "</tr></table></body></html>";

constexpr std::string_view kTextOpen =
    "<div style=\"width:430px;padding:10px 18px;text-align:left;font-size:17px;line-height:1.8;color:#222\">";
constexpr std::string_view kHeadingOpen = "<h4 style=\"margin:6px 0 10px;font-size:20px\">";
constexpr std::string_view kFoldOpen =
    "<div style=\"display:inline-block;writing-mode:vertical-rl;margin:14px 0;font-size:15px;"
    "line-height:1.6;letter-spacing:3px;color:#6b5636\">";
constexpr std::string_view kNoteOpen = "<font size=-1 color=\"#993366\">";

std::string TextCell(const PageContent& page) {
  std::string cell(kTextOpen);
  if (!page.title.empty()) {
    cell += kHeadingOpen;
    cell += DisplayText(page.title);
    cell += "</h4>";
  }
  for (const Paragraph& paragraph : page.paragraphs) {
    cell += "<p>";
    for (const Run& run : paragraph.runs) {
      if (run.kind == RunKind::kNote) {
        cell += kNoteOpen;
        cell += DisplayText(run.text);
        cell += "</font>";
      } else {
        cell += DisplayText(run.text);
      }
    }
  }
  cell += "</div>";
  return cell;
}

std::string FoldCell(const LeafLabels& labels, int fileNumber) {
  std::string cell(kFoldOpen);
  cell += DisplayText(labels.work);
  cell += "<br>";
  cell += DisplayText(labels.volume);
  cell += "<br>";
  cell += ChineseNumber(fileNumber);
  cell += "</div>";
  return cell;
}

size_t ParagraphLength(const Paragraph& paragraph) {
  size_t length = 0;
  for (const Run& run : paragraph.runs) length += CountCodePoints(run.text);
  return length;
}

}  // namespace

std::string LayOutPage(const PageContent& page, const LeafLabels& labels, int fileNumber) {
  const std::string text = "<TD class=\"text\">" + TextCell(page) + "</TD>";
  const std::string fold = "<TD class=\"fold\">" + FoldCell(labels, fileNumber) + "</TD>";
  std::string html(kHead);
  html += DisplayText(page.title.empty() ? labels.work : page.title);
  html += kStyle;
  html += fileNumber % 2 == 0 ? text + fold : fold + text;
  html += kTail;
  return html;
}

size_t PageLength(const PageContent& page) {
  size_t length = CountCodePoints(page.title);
  for (const Paragraph& paragraph : page.paragraphs) length += ParagraphLength(paragraph);
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

}  // namespace codexa::build
