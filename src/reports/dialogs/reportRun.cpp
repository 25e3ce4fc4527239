#include "reportRun.h"

#include "previewWindow.h"
#include "reports/engine/render.h"
#include "store/storeerror.h"
#include "ui/mainContext.h"

#include <QApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>

namespace esc::report {

namespace {

PrinterFactory& factory() {
  static PrinterFactory f;
  return f;
}

// The window that shows the pages going to the printer, painting as each is sent.
class PrintProgress {
public:
  PrintProgress(const QString& title, QWidget* parent)
      : dialog_(QStringLiteral("Imprimindo %1").arg(title), QString(), 0, 0, parent) {
    dialog_.setWindowTitle(title);
    dialog_.setWindowModality(Qt::ApplicationModal);
    dialog_.setCancelButton(nullptr);
    dialog_.setMinimumDuration(0);
    dialog_.show();
    QApplication::processEvents();
  }
  void page(int n) {
    dialog_.setLabelText(QStringLiteral("Página %1").arg(n));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }

private:
  QProgressDialog dialog_;
};

// The job went through: the painter began and ended, and the printer reports no error.
bool sent(DeviceSink& sink, QPagedPaintDevice& device) {
  const bool ended = sink.finish();
  const auto* printer = dynamic_cast<QPrinter*>(&device);
  return ended && !(printer && printer->printerState() == QPrinter::Error);
}

} // namespace

QString printFailedMessage(const QString& title) {
  return title.isEmpty() ? QStringLiteral("Não foi possível imprimir o relatório.")
                         : "Não foi possível imprimir o relatório " + title + ".";
}

void setPrinterFactory(PrinterFactory f) {
  factory() = std::move(f);
}

std::unique_ptr<QPagedPaintDevice> makePrinter(const QString& title) {
  if (factory()) return factory()(title);
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    const auto all = QPrinterInfo::availablePrinters();
    if (all.isEmpty()) return nullptr;
    info = all.first();
  }
  auto p = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  p->setDocName(title);
  p->setFullPage(true);
  p->setCopyCount(1);
  return p;
}

PreviewWindow* preview(ReportDefinition& def, Database& db, Ui& ui, QWidget* parent) {
  PageCollector pages;
  // A long report takes a while to lay out: the progress bar runs and the windows paint.
  struct Busy {
    explicit Busy(Progress& p) : bar(p) { bar.setRange(0, 0); }
    ~Busy() {
      bar.setRange(0, 100); // a range of 0..0 would keep the bar moving
      bar.reset();
    }
    Progress& bar;
  } busy(ui.progress());
  RunOptions opt;
  opt.progress = [](int n) {
    if (n % 10 == 0) QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
  };
  // The rows are read once, for the pages and for "Salvar planilha": the spreadsheet holds
  // what the window shows.
  ReportTable table;
  const bool rows = hasDetailRows(def);
  if (rows) {
    table.title = def.title;
    table.columns = detailColumns(def);
    collectRows(opt, table);
  }
  layOut(def, &db, pages, opt);
  auto* w = new PreviewWindow(std::move(pages.pages), def.title, ui, db.directory(), parent);
  if (rows) w->setTable(std::move(table));
  w->showMaximized();
  return w;
}

bool print(ReportDefinition& def, Database& db, Ui& ui, QWidget* parent) {
  std::unique_ptr<QPagedPaintDevice> device = makePrinter(def.title);
  if (!device) {
    ui.message(noPrinterMessage);
    return false;
  }
  PrintProgress progress(def.title, parent);
  DeviceSink sink(*device);
  RunOptions opt;
  opt.progress = [&](int n) {
    progress.page(n);
    return true;
  };
  layOut(def, &db, sink, opt);
  if (sent(sink, *device)) return true;
  ui.error(printFailedMessage(def.title));
  return false;
}

bool printPages(const QVector<Page>& pages, const QString& title, QPagedPaintDevice* device, Ui& ui,
                QWidget* parent) {
  std::unique_ptr<QPagedPaintDevice> own;
  if (!device) {
    own = makePrinter(title);
    device = own.get();
  }
  if (!device) {
    ui.message(noPrinterMessage);
    return false;
  }
  if (auto* printer = dynamic_cast<QPrinter*>(device)) {
    printer->setDocName(title);
    printer->setFullPage(true);
  }
  PrintProgress progress(title, parent);
  DeviceSink sink(*device);
  for (const Page& p : pages) {
    sink.page(Page(p));
    progress.page(p.number);
  }
  if (sent(sink, *device)) return true;
  ui.error(printFailedMessage(title));
  return false;
}

QVector<QPointer<PreviewWindow>> run(MainContext& ctx, const ReportEntry& entry,
                                     const ParamValues& values, Output output, QWidget* parent) {
  QVector<QPointer<PreviewWindow>> windows;
  try {
    BuildContext bc{ctx.dm(), output};
    const Reports reports = entry.build(bc, withInitials(entry.dialog, values));
    for (const auto& def : reports) {
      if (output == Output::Video)
        windows << preview(*def, ctx.dm().database(), ctx.ui(), parent);
      else if (!print(*def, ctx.dm().database(), ctx.ui(), parent))
        break;
    }
  } catch (const Refusal& r) {
    ctx.ui().message(r.message);
  } catch (const StoreError& e) {
    if (!e.silent()) ctx.ui().error(e.message());
  }
  return windows;
}

} // namespace esc::report
