#pragma once
#include "reports/engine/layout.h"
#include "reports/engine/tableExport.h"

#include <QMainWindow>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QScrollArea;
class QPrinter;

namespace esc {
class Ui;
}

namespace esc::report {

class PageView;

// The preview window of a report: its caption is the report's title; it opens maximized,
// shows one page at a time fitted to the page width, and offers zoom to the whole page,
// 100 % and the page width, first/previous/next/last page, printer set-up, printing, saving
// the pages as PDF, saving the report's detail rows as a spreadsheet and closing. It is not
// modal and releases its pages when closed.
class PreviewWindow : public QMainWindow {
  Q_OBJECT
public:
  enum class Zoom { WholePage, Actual, PageWidth };

  // `dataDirectory`: the book's files, which "Salvar PDF" never replaces.
  PreviewWindow(QVector<Page> pages, const QString& title, Ui& ui,
                const QString& dataDirectory = {}, QWidget* parent = nullptr);
  ~PreviewWindow() override;

  int pageCount() const { return pages_.size(); }
  int currentPage() const { return current_; } // 0-based
  Zoom zoom() const { return zoom_; }
  const QVector<Page>& pages() const { return pages_; }

  void showPage(int index);
  void setZoom(Zoom z);
  // A failure is said in a message box and these return false.
  bool print();   // to the printer chosen in the set-up, else the default printer
  void setUp();   // the printer set-up dialog
  void savePdf(); // asks for a file name
  bool savePdfTo(const QString& path);
  // The detail rows read with the pages, for "Salvar planilha"; a preview without them (the
  // terms) says that the report has none.
  void setTable(ReportTable table) { table_ = std::move(table); }
  void saveSheet(); // asks for a file name, .xlsx or .csv
  bool saveSheetTo(const QString& path);

protected:
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;

private:
  void refresh();
  QVector<Page> pages_;
  QString title_;
  Ui& ui_;
  QString dataDirectory_;
  std::optional<ReportTable> table_;
  int current_ = 0;
  Zoom zoom_ = Zoom::PageWidth;
  PageView* view_;
  QScrollArea* scroll_;
  QLabel* pageLabel_;
  QPushButton *first_, *prior_, *next_, *last_;
  std::unique_ptr<QPrinter> printer_; // set up by the user; none: the default printer
};

} // namespace esc::report
