#include "render.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace esc::report {

QFont reportFont(const Font& f) {
  QFont q(QStringLiteral("Arial"));
  q.setPixelSize(int(std::lround(f.points * 25.4 / 72.0 * unitsPerMm)));
  q.setBold(f.bold);
  q.setHintingPreference(QFont::PreferNoHinting);
  return q;
}

namespace {

// Measures per font, with the widths of texts already seen (codes, names and amounts repeat
// over a long report).
struct Metrics {
  explicit Metrics(const Font& f) : font(reportFont(f)), fm(font) {}
  QFont font;
  QFontMetricsF fm;
  QHash<QString, double> widths;
};

Metrics& metrics(const Font& f) {
  static QHash<int, Metrics*> all;
  const int key = int(std::lround(f.points * 10)) * 2 + (f.bold ? 1 : 0);
  Metrics*& m = all[key];
  if (!m) m = new Metrics(f);
  return *m;
}

QPageLayout layoutOf(const PageSetup& s) {
  const QPageSize size =
      std::abs(s.paper.width() - 215.9) < 0.01 && std::abs(s.paper.height() - 279.4) < 0.01
          ? QPageSize(QPageSize::Letter)
      : std::abs(s.paper.width() - 210) < 0.01 && std::abs(s.paper.height() - 297) < 0.01
          ? QPageSize(QPageSize::A4)
          : QPageSize(s.paper, QPageSize::Millimeter);
  return QPageLayout(
      size, s.orientation == Orientation::Portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace

double textWidth(const QString& text, const Font& font) {
  Metrics& m = metrics(font);
  auto it = m.widths.constFind(text);
  if (it != m.widths.constEnd()) return *it;
  if (m.widths.size() > 20000) m.widths.clear();
  const double w = m.fm.horizontalAdvance(text) / unitsPerMm;
  m.widths.insert(text, w);
  return w;
}

double textAscent(const Font& font) {
  return metrics(font).fm.ascent() / unitsPerMm;
}

QString fitText(const QString& text, const Font& font, double width) {
  if (textWidth(text, font) <= width + 1e-9) return text;
  int lo = 0, hi = text.size(); // the longest prefix that fits has lo characters
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (textWidth(text.left(mid), font) <= width + 1e-9)
      lo = mid;
    else
      hi = mid - 1;
  }
  return text.left(lo);
}

void paintPage(QPainter& p, const Page& page) {
  const QSizeF size = page.setup.size();
  p.fillRect(QRectF(0, 0, size.width() * unitsPerMm, size.height() * unitsPerMm), Qt::white);
  p.setPen(Qt::black);
  const Font* current = nullptr;
  double ascent = 0;
  for (const PageItem& it : page.items) {
    if (it.kind == PageItem::Kind::Rule) {
      p.fillRect(QRectF(it.x * unitsPerMm, it.y * unitsPerMm, it.width * unitsPerMm,
                        it.height * unitsPerMm),
                 Qt::black);
      continue;
    }
    if (!current || !(*current == it.font)) {
      Metrics& m = metrics(it.font);
      p.setFont(m.font);
      ascent = m.fm.ascent();
      current = &it.font;
    }
    p.drawText(QPointF(it.x * unitsPerMm, it.y * unitsPerMm + ascent), it.text);
  }
}

DeviceSink::DeviceSink(QPagedPaintDevice& device) : device_(device) {
#ifdef __GLIBC__
  // Each page's content stream is a buffer of a few hundred kB, built and freed per page.
  // By default glibc maps and unmaps such a buffer every time and trims the heap after it,
  // which cost a third of the time of a long report in page faults. Keeping freed memory
  // for reuse costs a few MB at most.
  static const bool tuned = [] {
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
    return true;
  }();
  (void)tuned;
#endif
}

DeviceSink::~DeviceSink() {
  finish();
}

void DeviceSink::page(Page&& page) {
  if (failed_) return;
  device_.setPageLayout(layoutOf(page.setup));
  if (!painter_) {
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&device_)) {
      painter_.reset();
      failed_ = true;
      return;
    }
  } else {
    device_.newPage();
  }
  painter_->resetTransform();
  painter_->scale(device_.logicalDpiX() / (25.4 * unitsPerMm),
                  device_.logicalDpiY() / (25.4 * unitsPerMm));
  paintPage(*painter_, page);
  ++pages_;
}

bool DeviceSink::finish() {
  if (painter_ && !painter_->end()) failed_ = true;
  painter_.reset();
  return !failed_;
}

PdfFileSink::PdfFileSink(const QString& path, const QString& title)
    : file_(std::make_unique<QSaveFile>(path)) {
  if (!file_->open(QIODevice::WriteOnly)) return;
  writer_ = std::make_unique<QPdfWriter>(file_.get());
  writer_->setTitle(title);
  writer_->setCreator(QStringLiteral("Escrivon"));
  writer_->setResolution(1200);
  sink_ = std::make_unique<DeviceSink>(*writer_);
}

PdfFileSink::~PdfFileSink() {
  // The writer ends before the file it writes to is discarded.
  sink_.reset();
  writer_.reset();
}

bool PdfFileSink::isOpen() const {
  return sink_ != nullptr;
}

void PdfFileSink::page(Page&& page) {
  if (sink_) sink_->page(std::move(page));
}

bool PdfFileSink::finish() {
  if (done_ || !sink_) return ok_;
  done_ = true;
  if (sink_->pagesWritten() == 0) {
    // A PDF with no page is no document: begin and end one blank page.
    QPainter p(writer_.get());
  }
  ok_ = sink_->finish() && file_->commit();
  return ok_;
}

QString PdfFileSink::errorString() const {
  return file_->error() == QFileDevice::NoError ? QString() : file_->errorString();
}

bool writePdf(const QVector<Page>& pages, const QString& path, const QString& title,
              QString* error) {
  PdfFileSink sink(path, title);
  for (const Page& p : pages)
    sink.page(Page(p));
  const bool ok = sink.finish();
  if (error) *error = ok ? QString() : sink.errorString();
  return ok;
}

} // namespace esc::report
