#include "layout.h"

#include "store/database.h"
#include "store/formats.h"
#include "store/storeerror.h"

#include <QDate>
#include <QLocale>

namespace esc::report {

QString formatField(const QVariant& v, Mask mask) {
  if (!v.isValid() || v.isNull()) return {};
  const int type = v.typeId();
  const bool isNumber = type == QMetaType::Double || type == QMetaType::LongLong ||
                        type == QMetaType::Int || type == QMetaType::Float;
  switch (mask) {
  case Mask::Amount:
    return isNumber ? fmt::amount(v.toDouble()) : QString();
  case Mask::ShortDate: {
    if (type == QMetaType::QDate) return fmt::date(v.toDate());
    const QDate d = QDate::fromString(v.toString(), Qt::ISODate);
    return d.isValid() ? fmt::date(d) : QString();
  }
  case Mask::None:
    break;
  }
  if (type == QMetaType::LongLong || type == QMetaType::Int) return QString::number(v.toLongLong());
  if (isNumber) return fmt::general(v.toDouble());
  if (type == QMetaType::QDate) return fmt::date(v.toDate());
  return v.toString();
}

QString formatValue(const Value& v, Mask mask) {
  switch (v.kind) {
  case Value::Kind::Null:
    return {};
  case Value::Kind::Text:
    return v.text;
  case Value::Kind::Number:
    return mask == Mask::Amount ? fmt::amount(v.number) : fmt::general(v.number);
  }
  return {};
}

namespace {

// Where the rows come from: the query, read as the layout needs them, or rows given.
class RowSource {
public:
  virtual ~RowSource() = default;
  virtual QStringList columns() const = 0;
  virtual bool next(QVariantList& row) = 0;
};

class QueryRows : public RowSource {
public:
  QueryRows(Database& db, const QueryText& q) : st_(db.prepare(checkedSql(q))) {
    st_.bindAll(q.parameters());
    for (int i = 0; i < st_.columnCount(); ++i)
      columns_ << st_.columnName(i);
  }
  QStringList columns() const override { return columns_; }
  bool next(QVariantList& row) override {
    if (!st_.step()) return false;
    const int n = columns_.size();
    row.resize(n);
    for (int i = 0; i < n; ++i)
      row[i] = st_.value(i);
    return true;
  }

private:
  // Reports only read: a query text is one SELECT, whatever its pieces say.
  static QString checkedSql(const QueryText& q) {
    const QString sql = q.sql();
    if (!sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) ||
        sql.contains(';'))
      throw StoreError(QStringLiteral("A consulta de um relatório só pode ler as tabelas."));
    return sql;
  }
  Statement st_;
  QStringList columns_;
};

class GivenRows : public RowSource {
public:
  GivenRows(QStringList columns, const QVector<QVariantList>& rows)
      : columns_(std::move(columns)), rows_(rows) {}
  QStringList columns() const override { return columns_; }
  bool next(QVariantList& row) override {
    if (at_ >= rows_.size()) return false;
    row = rows_[at_++];
    return true;
  }

private:
  QStringList columns_;
  const QVector<QVariantList>& rows_;
  int at_ = 0;
};

class Layouter {
public:
  Layouter(ReportDefinition& def, PageSink& sink, const RunOptions& opt)
      : def_(def), sink_(sink), opt_(opt) {
    const QSizeF size = def.page.size();
    footerBand_ = def.find(BandKind::PageFooter);
    footerTop_ = size.height() - def.page.bottom - (footerBand_ ? footerBand_->height : 0.0);
    time_ = QLocale(QLocale::Portuguese, QLocale::Brazil).toString(opt.now.time(), "hh:mm");
    date_ = fmt::date(opt.now.date());
  }

  RunStats run(RowSource* rows) {
    QVector<SourceColumns> sources;
    hasQuery_ = rows != nullptr;
    const int fixedBase = rows ? 1 : 0;
    if (rows) sources << SourceColumns{def_.queryName, rows->columns()};
    for (const FixedSource& f : def_.fixedSources)
      sources << SourceColumns{f.name, f.columns};
    bindAll(sources);
    ctx_.rows.resize(sources.size());
    for (int i = 0; i < def_.fixedSources.size(); ++i)
      ctx_.rows[fixedBase + i] = &def_.fixedSources[i].values;

    sink_.begin(def_);
    if (!rows) {
      // No query: the detail band prints once, over the fixed sources.
      place(BandKind::Detail, {});
      place(BandKind::Summary, {});
    } else {
      runRows(*rows);
    }
    if (!stats_.stopped) finishPage();
    sink_.end();
    return stats_;
  }

private:
  void bindAll(const QVector<SourceColumns>& sources) {
    if (!def_.groupExpression.isEmpty()) def_.groupExpression.bind(sources);
    for (Band& b : def_.bands)
      for (Element& e : b.elements)
        if (!e.expr.isEmpty()) {
          e.expr.bind(sources);
          e.expr.resetSums();
          if (e.expr.hasSums()) sums_ << &e.expr;
        }
  }

  void runRows(RowSource& rows) {
    const int n = rows.columns().size();
    QVariantList cur, next;
    bool haveCur = rows.next(cur), haveNext = false;
    const bool grouped = !def_.groupExpression.isEmpty();
    QString group;
    bool first = true;
    if (!haveCur) {
      // No row: the bands print over a row of nothing.
      cur = QVariantList(n);
      place(BandKind::Summary, cur);
      if (!pageOpen_) openPage(cur);
      return;
    }
    while (haveCur && !stats_.stopped) {
      ++stats_.rows;
      haveNext = rows.next(next);
      if (grouped) {
        const QString key = groupKey(cur);
        if (first || key != group) place(BandKind::GroupHeader, cur);
        group = key;
      }
      first = false;
      setRow(cur);
      for (Expression* s : sums_)
        s->accumulate(ctx_);
      if (opt_.detailRow)
        if (const Band* detail = def_.find(BandKind::Detail)) opt_.detailRow(*detail, ctx_);
      place(BandKind::Detail, cur);
      if (grouped && (!haveNext || groupKey(next) != group)) place(BandKind::GroupFooter, cur);
      if (!haveNext) break;
      std::swap(cur, next);
    }
    if (!stats_.stopped) place(BandKind::Summary, cur);
  }

  QString groupKey(const QVariantList& row) {
    setRow(row);
    return def_.groupExpression.eval(ctx_).asText();
  }

  void setRow(const QVariantList& row) {
    if (hasQuery_) ctx_.rows[0] = &row;
  }

  // Places a band of the definition with `row` current; starts a page when it does not fit.
  void place(BandKind kind, const QVariantList& row) {
    const Band* band = def_.find(kind);
    if (!band || stats_.stopped || !opt_.layPages) return;
    if (!pageOpen_) {
      openPage(row);
    } else if (y_ + band->height > footerTop_ + 1e-9 && y_ > bodyTop_ + 1e-9) {
      finishPage();
      if (stats_.stopped) return;
      openPage(row);
    }
    emitBand(*band, row, y_);
    y_ += band->height;
    lastRow_ = row;
  }

  void openPage(const QVariantList& row) {
    if (!opt_.layPages) return;
    page_ = Page{};
    page_.number = ++pageNumber_;
    page_.title = def_.title;
    page_.setup = def_.page;
    pageOpen_ = true;
    y_ = def_.page.top;
    if (const Band* h = def_.find(BandKind::ColumnHeader)) {
      emitBand(*h, row, y_);
      y_ += h->height;
    }
    bodyTop_ = y_;
    lastRow_ = row;
  }

  void finishPage() {
    if (!pageOpen_) return;
    if (footerBand_) emitBand(*footerBand_, lastRow_, footerTop_);
    pageOpen_ = false;
    ++stats_.pages;
    sink_.page(std::move(page_));
    if (opt_.progress && !opt_.progress(stats_.pages)) stats_.stopped = true;
  }

  void emitBand(const Band& band, const QVariantList& row, double top) {
    setRow(row);
    const double left = def_.page.left;
    for (const Element& e : band.elements) {
      PageItem it;
      it.band = band.kind;
      it.y = top + e.top;
      if (e.kind == Element::Kind::Rule) {
        it.kind = PageItem::Kind::Rule;
        it.x = left + e.left;
        it.width = e.width;
        it.height = e.height;
        page_.items << it;
        continue;
      }
      QString text;
      switch (e.kind) {
      case Element::Kind::Label:
        text = e.text;
        break;
      case Element::Kind::Field:
        text = formatField(e.expr.raw(ctx_), e.mask);
        break;
      case Element::Kind::Expression:
        text = formatValue(e.expr.eval(ctx_), e.mask);
        break;
      case Element::Kind::System:
        text = e.text + (e.system == SystemValue::PageNumber ? QString::number(page_.number)
                         : e.system == SystemValue::Time     ? time_
                                                             : date_);
        break;
      case Element::Kind::Rule:
        break;
      }
      if (text.isEmpty()) continue;
      it.font = e.font;
      it.align = e.align;
      it.text = e.fixed ? fitText(text, e.font, e.width) : text;
      it.width = textWidth(it.text, e.font);
      it.height = e.font.points * 25.4 / 72.0;
      switch (e.align) {
      case Align::Left:
        it.x = left + e.left;
        break;
      case Align::Right:
        it.x = left + e.left + e.width - it.width;
        break;
      case Align::Center:
        it.x = left + e.left + e.width / 2 - it.width / 2;
        break;
      }
      page_.items << it;
    }
  }

  ReportDefinition& def_;
  PageSink& sink_;
  const RunOptions& opt_;
  const Band* footerBand_ = nullptr;
  double footerTop_ = 0, bodyTop_ = 0, y_ = 0;
  QString time_, date_;
  EvalContext ctx_;
  QVector<Expression*> sums_;
  Page page_;
  bool pageOpen_ = false;
  bool hasQuery_ = false;
  int pageNumber_ = 0;
  QVariantList lastRow_;
  RunStats stats_;
};

} // namespace

RunStats layOut(ReportDefinition& def, Database* db, PageSink& sink, const RunOptions& opt) {
  Layouter l(def, sink, opt);
  if (def.queryName.isEmpty() || !db) return l.run(nullptr);
  QueryRows rows(*db, def.query);
  return l.run(&rows);
}

RunStats layOut(ReportDefinition& def, const QStringList& columns,
                const QVector<QVariantList>& rows, PageSink& sink, const RunOptions& opt) {
  Layouter l(def, sink, opt);
  GivenRows given(columns, rows);
  return l.run(&given);
}

} // namespace esc::report
