#pragma once
// Drawing laid-out pages: on the preview, on a printer or into a PDF file.
#include "layout.h"

#include <QFont>
#include <memory>

class QPainter;
class QPagedPaintDevice;
class QPdfWriter;

namespace esc::report {

// Pages are drawn in hundredths of a millimetre, fonts sized in those units, so every device
// (PDF, printer, screen at any zoom) prints the same text at the same place.
constexpr double unitsPerMm = 100.0;
QFont reportFont(const Font& font);

// Draws `page` with the painter's current transform mapping 1 unit to 0.01 mm from the
// paper's top-left corner.
void paintPage(QPainter& painter, const Page& page);

// Draws each page as it arrives on a paged device (a QPdfWriter or a QPrinter), each with its
// report's paper and orientation. The device must not be painted on yet.
class DeviceSink : public PageSink {
public:
  explicit DeviceSink(QPagedPaintDevice& device);
  ~DeviceSink() override;
  void page(Page&& page) override;
  void finish(); // ends the painter; the file or the print job is complete
  int pagesWritten() const { return pages_; }

private:
  QPagedPaintDevice& device_;
  std::unique_ptr<QPainter> painter_;
  int pages_ = 0;
};

// A PDF file written page by page: the file is complete once finish() returns.
class PdfFileSink : public PageSink {
public:
  PdfFileSink(const QString& path, const QString& title);
  ~PdfFileSink() override;
  void page(Page&& page) override { sink_->page(std::move(page)); }
  void finish();
  int pagesWritten() const { return sink_->pagesWritten(); }

private:
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<DeviceSink> sink_;
  bool done_ = false;
};

// Writes pages already laid out (the preview's "Salvar PDF").
void writePdf(const QVector<Page>& pages, const QString& path, const QString& title);

} // namespace esc::report
