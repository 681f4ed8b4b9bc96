#include "view/sheetprinter.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfDocument>
#include <QPrinter>
#include <algorithm>
#include <vector>

namespace {

// The pages in the order they go out: the printer's page order, then the
// copies the device leaves to the program, whole documents one after the
// other when collated, each page repeated in place when not.
std::vector<int> SheetOrder(int pages, const QPrinter& printer) {
  std::vector<int> once(pages);
  for (int i = 0; i < pages; ++i) once[i] = i;
  if (printer.pageOrder() == QPrinter::LastPageFirst) std::reverse(once.begin(), once.end());
  const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
  std::vector<int> order;
  order.reserve(size_t(pages) * copies);
  if (printer.collateCopies()) {
    for (int copy = 0; copy < copies; ++copy) order.insert(order.end(), once.begin(), once.end());
  } else {
    for (int page : once) order.insert(order.end(), copies, page);
  }
  return order;
}

// Draws page `page` over the whole paper. The painter's origin is the
// printable area's corner (the paper's own with a full-page printer), so
// the paper begins that far up and to the left of it. A page of another
// shape than the paper keeps its own, from the paper's corner.
bool DrawSheet(QPdfDocument& document, int page, QPrinter& printer, QPainter& painter) {
  const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
  const QSizeF points = document.pagePointSize(page);
  const QRectF target(paper.topLeft() - printable.topLeft(), points.scaled(paper.size(), Qt::KeepAspectRatio));
  const double dpi = std::min(printer.resolution(), kMaxSheetDpi);
  const QImage sheet = document.render(page, (points * dpi / 72.0).toSize());
  if (sheet.isNull()) return false;
  painter.drawImage(target, sheet);
  return true;
}

}  // namespace

bool PrintSheets(const QByteArray& pdf, QPrinter& printer) {
  QBuffer buffer;
  buffer.setData(pdf);
  if (!buffer.open(QIODevice::ReadOnly)) return false;
  QPdfDocument document;
  document.load(&buffer);
  if (document.status() != QPdfDocument::Status::Ready || document.pageCount() <= 0) return false;
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  bool first = true;
  for (int page : SheetOrder(document.pageCount(), printer)) {
    if (!first && !printer.newPage()) return false;
    first = false;
    if (!DrawSheet(document, page, printer, painter)) return false;
  }
  return painter.end();
}
