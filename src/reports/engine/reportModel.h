#pragma once
// The report model: a report definition is data, a page, bands of fixed height holding
// elements placed in millimetres, and the query its rows come from.
//
// How to add a report
// -------------------
// 1. The definition: a function `std::shared_ptr<ReportDefinition> makeXxx()` in its own file
//    src/reports/definitions/tf_Xxx.cpp, written like the tables that describe the report.
//    See tf_Balanco.cpp, the worked example:
//
//      auto d = std::make_shared<ReportDefinition>("TF_Balanco", "Escrivon - Balancete de Contas",
//                                                 PageSetup::letter(Orientation::Landscape));
//      d->queryName = "QryBalanco";                        // the report's data source
//      Band& h = d->band(BandKind::ColumnHeader, 25.7);    // height in mm
//      h.field(2.1, 2.1, "NomeDaOrganizacao").bold(14);    // left edge, top, column
//      h.label(156.6, 2.1, "CNPJ:").bold(14);
//      h.expression(193.9, 12.7, "Copy(QryBalanco.Periodo,5,2)+'/'+Copy(QryBalanco.Periodo,1,4)");
//      h.rule(1.1, 23.5, 246.9);
//      Band& det = d->band(BandKind::Detail, 6.3);
//      det.field(0, 0.8, "CodigoContaContabil");
//      det.field(0, 0.8, "SaldoAnterior").rightEdge(156.1).amount();   // ",#0.00"
//      det.field(113.0, 0.8, "DataDaContabilizacao").date();             // short date
//      det.field(12.7, 0.8, "NomeContaContabil").fixedWidth(41.8);      // clipped
//      d->standardPageFooter(6.9, "Página: ", "Escrivon-ZNK", 227.3, 246.9);
//
//    Elements default to 8 pt regular Arial, left-aligned, taking the width of their text;
//    `.rightEdge(x)` aligns the text's end on x, `.centredOn(x)` or `.centredIn(left, w)`
//    centre it, `.fixedWidth(w)` clips to w. Group bands need `d->groupExpression`.
//    A fixed query goes into d->query at once (d->query.add(line) per line); a dialog's
//    query is built by the report's build function (below) with addRange()/addDateRange()
//    from queryText.h, so typed texts are bound parameters.
// 2. The registry entry (registry.h): a `ReportEntry` with the escrivon-report name, the
//    button of the "Relatórios" page, the dialog's description (`DialogForm`: caption,
//    fields "De"/"até:" with DialogField::range/single, check boxes, the order radio group,
//    the three buttons' names) or none for a report previewed at once, and the build
//    function that turns the dialog's values (`ParamValues`, by field name) into the
//    definitions of one run, in order: several for several print jobs. The build gets the
//    data module and the output (`BuildContext`), for what a button does besides the report
//    (an order to switch, a record to save); it throws `Refusal{message}` for what the
//    dialog refuses. A report that prints a record instead of a query takes it with
//    `recordOf(table, "TbCabecalh")` into d->fixedSources. A dialog of its own (fields
//    bound to a table) lives in src/reports/dialogs/, is named for the entry's id in the
//    Relatórios page's list of own dialogs and calls report::run() (dialogs/reportRun.h)
//    for each click. Then add one line calling your `registerXxx(ReportRegistry&)` in
//    ReportRegistry::instance() (registry.cpp) and declare it in registry.h.
//    The page, the generic dialog and escrivon-report pick the entry up from there:
//    `escrivon-report --list` shows its options, named as the dialog's fields
//    (`escrivon-report --data-dir D balancete --EdBPeriodo 200301 -o b.pdf`; a radio item by
//    its text or number; `--impressora` builds as "&Impressora" does).
// 3. Tests: tests/reports/ lay a definition out with layOut() (rows given, or a book on
//    disk) and read the pages' items: text, position in mm, alignment, font, band.
#include "expression.h"
#include "queryText.h"

#include <QSizeF>
#include <QString>
#include <QVector>
#include <deque>
#include <memory>
#include <optional>

namespace esc::report {

enum class Orientation { Portrait, Landscape };
enum class Align { Left, Right, Center };
enum class Mask { None, Amount /* ",#0.00" */, ShortDate /* dd/mm/yyyy */ };
enum class SystemValue { PageNumber, Time, Date };
// In print order on a page.
enum class BandKind { ColumnHeader, GroupHeader, Detail, GroupFooter, Summary, PageFooter };

// Every report text is Arial (rendered with Liberation Sans, which has its metrics).
struct Font {
  double points = 8;
  bool bold = false;
  bool operator==(const Font&) const = default;
};

struct PageSetup {
  QSizeF paper; // mm, portrait
  Orientation orientation = Orientation::Portrait;
  double top = 12.7, left = 12.7, right = 12.7, bottom = 20.32;

  static PageSetup letter(Orientation o);
  static PageSetup a4(Orientation o);
  QSizeF size() const; // as oriented
  double bandWidth() const { return size().width() - left - right; }
};

struct Element {
  enum class Kind { Label, Field, Expression, System, Rule };
  Kind kind = Kind::Label;
  // The element's box in mm from the band's left and top edges. A left-aligned text starts at
  // `left`, a right-aligned one ends at left + width, a centred one is centred there.
  double left = 0, top = 0, width = 0;
  double height = 0.5; // a rule's thickness
  Align align = Align::Left;
  bool fixed = false; // shows only what fits in `width` on one line
  Font font;
  Mask mask = Mask::None;
  QString text;    // a label's text, system data's prefix
  Expression expr; // a field's column or an expression
  SystemValue system = SystemValue::PageNumber;

  Element& bold(double points) {
    font = {points, true};
    return *this;
  }
  Element& size(double points) {
    font = {points, false};
    return *this;
  }
  Element& amount() {
    mask = Mask::Amount;
    return *this;
  }
  Element& date() {
    mask = Mask::ShortDate;
    return *this;
  }
  // The text ends at `edge` (amount columns line up on their last digit).
  Element& rightEdge(double edge);
  Element& centredOn(double centre);
  Element& centredIn(double left, double width);
  Element& fixedWidth(double w);
};

struct Band {
  BandKind kind = BandKind::Detail;
  double height = 0;
  QVector<Element> elements;

  Element& label(double x, double y, const QString& text);
  // A column of the current row; "Source.Column" or "Column" (looked up in every source).
  Element& field(double x, double y, const QString& column);
  Element& expression(double x, double y, const QString& expression);
  // The page number, the time or the date right after `prefix`, with no blank added.
  Element& system(double x, double y, const QString& prefix, SystemValue value);
  Element& rule(double x, double y, double length, double thickness = 0.5);

private:
  Element& add(Element e);
};

// A data source of one row that is not the query (the terms read the organization record).
struct FixedSource {
  QString name;
  QStringList columns;
  QVariantList values;
};

struct ReportDefinition {
  ReportDefinition(QString name, QString title, PageSetup page)
      : name(std::move(name)), title(std::move(title)), page(page) {}

  QString name;  // "TF_Balanco"
  QString title; // the print job's name and the preview window's caption
  PageSetup page;
  QString queryName; // "QryBalanco"; empty: no query, the detail band prints once
  QueryText query;
  QVector<FixedSource> fixedSources;
  Expression groupExpression; // group header and footer: a run of rows with one value
  std::deque<Band> bands;     // references to a band stay valid as others are added

  // The band of that kind, created with `height` the first time.
  Band& band(BandKind kind, double height);
  const Band* find(BandKind kind) const;
  Band* find(BandKind kind);

  // The page footer most reports carry: a rule along the top, the page number, time and date
  // at the left (8 pt, prefixes `pagePrefix`, "Hora: ", "Data: "), and the signature label.
  Band& standardPageFooter(double height, const QString& pagePrefix, const QString& signature,
                           double signatureX, double ruleLength, double pageX = 2.1,
                           double pagePoints = 8);
};

} // namespace esc::report
