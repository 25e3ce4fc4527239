#include "tableExport.h"

#include "pdfOutput.h"
#include "store/userPrompts.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace esc::report {

namespace {

bool isCell(const Element& e) {
  return e.kind == Element::Kind::Field || e.kind == Element::Kind::Expression;
}

// Where a column sits across the page: a left-aligned text's start, a right-aligned one's end
// (amounts line up on their last digit), a centred one's middle.
double anchor(const Element& e) {
  switch (e.align) {
  case Align::Left:
    return e.left;
  case Align::Right:
    return e.left + e.width;
  case Align::Center:
    return e.left + e.width / 2;
  }
  return e.left;
}

// The captions of the columns: the labels of the column header's lowest line of labels, from
// left to right (the lines above hold the organization and the report's title).
QVector<const Element*> captions(const ReportDefinition& def) {
  QVector<const Element*> r;
  const Band* header = def.find(BandKind::ColumnHeader);
  if (!header) return r;
  double lowest = -1;
  for (const Element& e : header->elements)
    if (e.kind == Element::Kind::Label) lowest = std::max(lowest, e.top);
  for (const Element& e : header->elements)
    if (e.kind == Element::Kind::Label && std::abs(e.top - lowest) < 0.05) r << &e;
  std::stable_sort(r.begin(), r.end(),
                   [](const Element* a, const Element* b) { return a->left < b->left; });
  return r;
}

// A text of blanks prints nothing (an expression's ' ' for "no value").
QVariant text(const QString& s) {
  return s.trimmed().isEmpty() ? QVariant() : QVariant(s);
}

QVariant cell(const Element& e, const EvalContext& row) {
  if (e.kind == Element::Kind::Expression) {
    const Value v = e.expr.eval(row);
    switch (v.kind) {
    case Value::Kind::Null:
      return {};
    case Value::Kind::Number:
      return v.number;
    case Value::Kind::Text:
      return text(v.text);
    }
    return {};
  }
  const QVariant v = e.expr.raw(row);
  if (!v.isValid() || v.isNull()) return {};
  const int type = v.typeId();
  const bool integer = type == QMetaType::LongLong || type == QMetaType::Int;
  const bool number = integer || type == QMetaType::Double || type == QMetaType::Float;
  switch (e.mask) {
  case Mask::Amount: // what the mask cannot format prints nothing
    return number ? QVariant(v.toDouble()) : QVariant();
  case Mask::ShortDate: {
    const QDate d =
        type == QMetaType::QDate ? v.toDate() : QDate::fromString(v.toString(), Qt::ISODate);
    return d.isValid() ? QVariant(d) : QVariant();
  }
  case Mask::None:
    break;
  }
  if (integer) return v.toLongLong();
  if (number) return v.toDouble();
  if (type == QMetaType::QDate) return v;
  return text(v.toString());
}

} // namespace

bool hasDetailRows(const ReportDefinition& def) {
  const Band* detail = def.find(BandKind::Detail);
  return !def.queryName.isEmpty() && detail &&
         std::any_of(detail->elements.begin(), detail->elements.end(), isCell);
}

QString noDetailRowsMessage(const QString& report) {
  return (report.isEmpty() ? QStringLiteral("Este relatório") : "O relatório " + report) +
         " não tem linhas de detalhe para uma planilha; ele só pode ser gravado em PDF.";
}

QVector<TableColumn> detailColumns(const ReportDefinition& def) {
  QVector<TableColumn> columns;
  QVector<const Element*> cells;
  if (const Band* detail = def.find(BandKind::Detail))
    for (const Element& e : detail->elements)
      if (isCell(e)) {
        cells << &e;
        columns << TableColumn{e.expr.text(), e.mask};
      }
  const QVector<const Element*> heads = captions(def);
  if (heads.size() == cells.size()) {
    QVector<int> across(cells.size());
    std::iota(across.begin(), across.end(), 0);
    std::stable_sort(across.begin(), across.end(),
                     [&](int a, int b) { return anchor(*cells[a]) < anchor(*cells[b]); });
    for (int i = 0; i < across.size(); ++i)
      columns[across[i]].heading = heads[i]->text.trimmed();
    return columns;
  }
  for (int i = 0; i < cells.size(); ++i) {
    // An amount lines up its end under its caption's text; another value sits nearest its
    // caption's start, a little to either side.
    const Element& e = *cells[i];
    const Element* caption = nullptr;
    for (const Element* h : heads) {
      if (e.align == Align::Right
              ? h->left <= anchor(e)
              : !caption || std::abs(h->left - anchor(e)) < std::abs(caption->left - anchor(e)))
        caption = h;
    }
    if (caption) columns[i].heading = caption->text.trimmed();
  }
  return columns;
}

QVariantList detailCells(const Band& detail, const EvalContext& row) {
  QVariantList r;
  for (const Element& e : detail.elements)
    if (isCell(e)) r << cell(e, row);
  return r;
}

void collectRows(RunOptions& options, TableSink& sink) {
  options.detailRow = [&sink](const Band& detail, const EvalContext& row) {
    sink.row(detailCells(detail, row));
  };
}

RunStats exportRows(ReportDefinition& def, Database& db, TableSink& sink) {
  struct NoPages : PageSink {
    void page(Page&&) override {}
  } none;
  RunOptions options;
  options.layPages = false;
  collectRows(options, sink);
  return layOut(def, &db, none, options);
}

bool saveTable(const ReportTable& table, const QString& path, const QString& dataDirectory,
               Ui& ui) {
  if (const QString refusal = outputRefusal(path, dataDirectory); !refusal.isEmpty()) {
    ui.error(refusal);
    return false;
  }
  const auto writer = SheetWriter::create(sheetFormatOf(path).value_or(SheetFormat::Xlsx), path,
                                          table.title, table.columns);
  if (writer->isOpen()) {
    for (const QVariantList& row : table.rows)
      writer->row(row);
    if (writer->finish()) return true;
  }
  ui.error(cannotWriteMessage(path, writer->errorString()));
  return false;
}

} // namespace esc::report
