#pragma once
// Drawing laid-out pages: on the preview, on a printer or into a PDF file.
#include "layout.h"

#include <QFont>
#include <memory>

class QPainter;
class QPagedPaintDevice;
class QPdfWriter;
class QSaveFile;

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
  // Ends the painter; the file or the print job is complete. False when the device could
  // not be painted on or did not end cleanly.
  bool finish();
  int pagesWritten() const { return pages_; }

private:
  QPagedPaintDevice& device_;
  std::unique_ptr<QPainter> painter_;
  int pages_ = 0;
  bool failed_ = false;
};

// A PDF file written page by page under a temporary name beside `path`, which finish()
// renames into place; until then, or when anything fails, `path` keeps what it held.
class PdfFileSink : public PageSink {
public:
  PdfFileSink(const QString& path, const QString& title);
  ~PdfFileSink() override; // without a successful finish() nothing is written
  bool isOpen() const;     // false: the file cannot be written (errorString() says why)
  void page(Page&& page) override;
  bool finish(); // true: the whole file is in place
  int pagesWritten() const { return sink_ ? sink_->pagesWritten() : 0; }
  QString errorString() const;

private:
  std::unique_ptr<QSaveFile> file_;
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<DeviceSink> sink_;
  bool done_ = false, ok_ = false;
};

// Writes pages already laid out (the preview's "Salvar PDF"); false, with the reason in
// `error`, when the file could not be written.
bool writePdf(const QVector<Page>& pages, const QString& path, const QString& title,
              QString* error = nullptr);

} // namespace esc::report
