#include "previewWindow.h"

#include "reportRun.h"
#include "reports/engine/pdfOutput.h"
#include "reports/engine/render.h"
#include "store/userPrompts.h"
#include "ui/pageParts.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>

namespace esc::report {

// One page at a given scale, on a grey desk.
class PageView : public QWidget {
public:
  explicit PageView(QWidget* parent) : QWidget(parent) {
    setObjectName("VisaoPagina");
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  void setPage(const Page* page, double pixelsPerMm) {
    page_ = page;
    scale_ = pixelsPerMm;
    const QSizeF mm = page ? page->setup.size() : QSizeF(0, 0);
    setFixedSize(int(mm.width() * scale_) + 2 * margin, int(mm.height() * scale_) + 2 * margin);
    update();
  }
  static constexpr int margin = 12;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
    if (!page_) return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(margin, margin);
    p.scale(scale_ / unitsPerMm, scale_ / unitsPerMm);
    paintPage(p, *page_);
  }

private:
  const Page* page_ = nullptr;
  double scale_ = 1;
};

PreviewWindow::PreviewWindow(QVector<Page> pages, const QString& title, Ui& ui,
                             const QString& dataDirectory, QWidget* parent)
    : QMainWindow(parent, Qt::Window), pages_(std::move(pages)), title_(title), ui_(ui),
      dataDirectory_(dataDirectory) {
  setObjectName("F_Visualizar");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(title);

  auto* bar = new QToolBar(this);
  bar->setObjectName("BarraVisualizar");
  bar->setMovable(false);
  addToolBar(bar);
  auto button = [&](const QString& name, const QString& caption, const QString& hint, auto slot) {
    QPushButton* b = makeButton(bar, name, caption, hint);
    b->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(b);
    connect(b, &QPushButton::clicked, this, slot);
    return b;
  };
  button("ButPaginaInteira", "Página inteira", "Mostra a página inteira",
         [this] { setZoom(Zoom::WholePage); });
  button("ButZoom100", "100 %", "Mostra a página em tamanho real",
         [this] { setZoom(Zoom::Actual); });
  button("ButLarguraPagina", "Largura da página", "Ajusta a página à largura da janela",
         [this] { setZoom(Zoom::PageWidth); });
  bar->addSeparator();
  first_ = button("ButPrimeira", "Primeira", "Primeira página", [this] { showPage(0); });
  prior_ = button("ButAnterior", "Anterior", "Página anterior", [this] { showPage(current_ - 1); });
  next_ = button("ButProxima", "Próxima", "Próxima página", [this] { showPage(current_ + 1); });
  last_ = button("ButUltima", "Última", "Última página", [this] { showPage(pageCount() - 1); });
  pageLabel_ = new QLabel(bar);
  pageLabel_->setObjectName("LabelPagina");
  pageLabel_->setContentsMargins(8, 0, 8, 0);
  // As wide as its widest text, so the bar keeps its size from page to page.
  pageLabel_->setMinimumWidth(
      pageLabel_->fontMetrics().horizontalAdvance(
          QStringLiteral("Página %1 de %1").arg(std::max(qsizetype(1), pages_.size()))) +
      16);
  bar->addWidget(pageLabel_);
  bar->addSeparator();
  button("ButConfigurar", "Configurar impressora", "Escolhe a impressora e suas opções",
         [this] { setUp(); });
  button("ButImprimir", "Imprimir", "Imprime o relatório", [this] { print(); });
  button("ButSalvarPdf", "Salvar PDF", "Salva o relatório num arquivo PDF", [this] { savePdf(); });
  button("ButSalvarPlanilha", "Salvar planilha",
         "Salva as linhas do relatório numa planilha (XLSX ou CSV)", [this] { saveSheet(); });
  button("ButFechar", "Fechar", "Fecha a visualização", [this] { close(); });

  scroll_ = new QScrollArea(this);
  scroll_->setObjectName("RolagemPagina");
  scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  scroll_->setBackgroundRole(QPalette::Dark);
  view_ = new PageView(scroll_);
  scroll_->setWidget(view_);
  setCentralWidget(scroll_);
  // Wide enough for the whole bar: a bar that overflows hides its last buttons, "Salvar PDF"
  // and "Fechar" among them.
  resize(std::max(1000, bar->sizeHint().width()), 700);
  refresh();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::showPage(int index) {
  if (pages_.isEmpty()) return;
  current_ = std::clamp(index, 0, int(pages_.size()) - 1);
  refresh();
  scroll_->verticalScrollBar()->setValue(0);
}

void PreviewWindow::setZoom(Zoom z) {
  zoom_ = z;
  refresh();
}

void PreviewWindow::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  refresh();
}

// The scroll area takes its size only as it is shown, after the window's own resize: the
// page is fitted to it from here.
void PreviewWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  refresh();
}

void PreviewWindow::refresh() {
  const Page* page = pages_.isEmpty() ? nullptr : &pages_[current_];
  double scale = logicalDpiX() / 25.4; // 100 %
  if (page && zoom_ != Zoom::Actual) {
    const QSizeF mm = page->setup.size();
    const QSize room =
        scroll_->viewport()->size() - QSize(2 * PageView::margin, 2 * PageView::margin);
    const double byWidth =
        std::max(1, room.width() - scroll_->verticalScrollBar()->sizeHint().width()) / mm.width();
    const double byHeight = std::max(1, room.height()) / mm.height();
    scale = zoom_ == Zoom::PageWidth ? byWidth : std::min(byWidth, byHeight);
  }
  view_->setPage(page, scale);
  pageLabel_->setText(QStringLiteral("Página %1 de %2")
                          .arg(pages_.isEmpty() ? 0 : current_ + 1)
                          .arg(pages_.size()));
  first_->setEnabled(current_ > 0);
  prior_->setEnabled(current_ > 0);
  next_->setEnabled(current_ + 1 < pages_.size());
  last_->setEnabled(current_ + 1 < pages_.size());
}

void PreviewWindow::setUp() {
  if (!printer_) {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
      ui_.message(noPrinterMessage);
      return;
    }
    printer_ = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
  }
  QPrintDialog dialog(printer_.get(), this);
  dialog.setWindowTitle(QStringLiteral("Configurar impressora"));
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  dialog.exec();
}

bool PreviewWindow::print() {
  return printPages(pages_, title_, printer_.get(), ui_, this);
}

void PreviewWindow::savePdf() {
  QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("Salvar PDF"),
                                   title_ + QStringLiteral(".pdf"), QStringLiteral("PDF (*.pdf)"));
  if (path.isEmpty()) return;
  if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
  savePdfTo(path);
}

bool PreviewWindow::savePdfTo(const QString& path) {
  return report::savePdf(pages_, path, title_, dataDirectory_, ui_);
}

void PreviewWindow::saveSheet() {
  if (!table_) {
    ui_.message(noDetailRowsMessage(title_));
    return;
  }
  const QString xlsx = QStringLiteral("Planilha XLSX (*.xlsx)");
  const QString csv = QStringLiteral("Planilha CSV (*.csv)");
  QString chosen = xlsx;
  QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("Salvar planilha"),
                                   title_ + QStringLiteral(".xlsx"), xlsx + ";;" + csv, &chosen);
  if (path.isEmpty()) return;
  if (!sheetFormatOf(path))
    path += chosen == csv ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
  saveSheetTo(path);
}

bool PreviewWindow::saveSheetTo(const QString& path) {
  if (!table_) {
    ui_.message(noDetailRowsMessage(title_));
    return false;
  }
  return saveTable(*table_, path, dataDirectory_, ui_);
}

} // namespace esc::report
