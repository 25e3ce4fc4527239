#include "spreadsheet.h"

#include "store/formats.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <xlsxwriter.h>

namespace esc::report {

std::optional<SheetFormat> sheetFormatOf(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("csv")) return SheetFormat::Csv;
  if (suffix == QLatin1String("xlsx")) return SheetFormat::Xlsx;
  return std::nullopt;
}

namespace {

bool isInteger(const QVariant& v) {
  return v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int;
}

bool isNumber(const QVariant& v) {
  return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

class CsvWriter : public SheetWriter {
public:
  CsvWriter(const QString& path, const QVector<TableColumn>& columns)
      : file_(path), columns_(columns) {
    if (!file_.open(QIODevice::WriteOnly)) return;
    file_.write("\xEF\xBB\xBF");
    QVariantList headings;
    for (const TableColumn& c : columns)
      headings << c.heading;
    row(headings);
  }
  bool isOpen() const override { return file_.isOpen(); }
  QString errorString() const override { return file_.errorString(); }

  void row(const QVariantList& cells) override {
    QString line;
    for (int i = 0; i < cells.size(); ++i) {
      if (i) line += ';';
      line += field(cells[i], i < columns_.size() && columns_[i].mask == Mask::Amount);
    }
    line += QLatin1String("\r\n");
    file_.write(line.toUtf8());
  }

  bool finish() override { return file_.isOpen() && file_.commit(); }

private:
  static QString field(const QVariant& v, bool amount) {
    if (!v.isValid() || v.isNull()) return {};
    if (v.typeId() == QMetaType::QDate) return fmt::date(v.toDate());
    if (isInteger(v)) return QString::number(v.toLongLong());
    if (isNumber(v)) return amount ? amountField(v.toDouble()) : fmt::general(v.toDouble());
    QString text = v.toString();
    // A text the spreadsheet would take for a formula (a statement's memo can hold anything)
    // is kept a text by the apostrophe spreadsheets read as "text follows".
    if (text.startsWith('=') || text.startsWith('+') || text.startsWith('@')) text.prepend('\'');
    if (!text.contains(';') && !text.contains('"') && !text.contains('\n') && !text.contains('\r'))
      return text;
    text.replace('"', QLatin1String("\"\""));
    return '"' + text + '"';
  }

  // An amount with its cents (3200,00), or every decimal it has when it has more (the stored
  // amounts keep four).
  static QString amountField(double v) {
    const double cents = v * 100;
    if (std::abs(cents - std::round(cents)) > 1e-6) return fmt::general(v);
    return QString::number(std::round(cents) / 100 + 0.0, 'f', 2).replace('.', ',');
  }

  QSaveFile file_;
  QVector<TableColumn> columns_;
};

// libxlsxwriter writes its file by name when the workbook closes: it goes to a temporary file
// first and is copied into the target through QSaveFile, as every output of the system.
class XlsxWriter : public SheetWriter {
public:
  XlsxWriter(const QString& path, const QString& title, const QVector<TableColumn>& columns)
      : out_(path), columns_(columns), widths_(columns.size(), 8) {
    if (!out_.open(QIODevice::WriteOnly)) return;
    temp_.setFileTemplate(QDir::tempPath() + QStringLiteral("/escrivon-XXXXXX.xlsx"));
    if (!temp_.open()) {
      fail(temp_.errorString());
      return;
    }
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // each row goes to disk as the next one starts
    book_ = workbook_new_opt(QFile::encodeName(temp_.fileName()).constData(), &options);
    if (!book_) {
      fail(QStringLiteral("a pasta de trabalho não pôde ser criada"));
      return;
    }
    const QByteArray titleText = title.toUtf8();
    lxw_doc_properties properties{};
    properties.title = const_cast<char*>(titleText.constData());
    workbook_set_properties(book_, &properties);
    sheet_ = workbook_add_worksheet(book_, sheetName(title).toUtf8().constData());
    if (!sheet_) sheet_ = workbook_add_worksheet(book_, nullptr);
    bold_ = workbook_add_format(book_);
    format_set_bold(bold_);
    // Number formats are stored in the file's own notation; the spreadsheet shows them in its
    // locale (1.234,56 in Portuguese).
    amount_ = workbook_add_format(book_);
    format_set_num_format(amount_, "#,##0.00");
    date_ = workbook_add_format(book_);
    format_set_num_format(date_, "dd/mm/yyyy");
    for (int c = 0; c < columns.size(); ++c) {
      check(worksheet_write_string(sheet_, 0, lxw_col_t(c), columns[c].heading.toUtf8().constData(),
                                   bold_));
      widen(c, columns[c].heading.size());
    }
    worksheet_freeze_panes(sheet_, 1, 0);
  }
  ~XlsxWriter() override {
    if (book_) lxw_workbook_free(book_);
  }
  bool isOpen() const override { return out_.isOpen() && error_.isEmpty(); }
  QString errorString() const override { return error_.isEmpty() ? out_.errorString() : error_; }

  void row(const QVariantList& cells) override {
    if (!isOpen()) return;
    if (row_ + 1 >= LXW_ROW_MAX)
      return fail(QStringLiteral("uma planilha XLSX comporta até %1 linhas").arg(LXW_ROW_MAX - 1));
    ++row_;
    for (int c = 0; c < cells.size(); ++c)
      write(c, cells[c]);
  }

  bool finish() override {
    if (!isOpen()) return false;
    for (int c = 0; c < widths_.size(); ++c)
      worksheet_set_column(sheet_, lxw_col_t(c), lxw_col_t(c), std::min(widths_[c] + 2, 60),
                           nullptr);
    if (!columns_.isEmpty())
      worksheet_autofilter(sheet_, 0, 0, row_, lxw_col_t(columns_.size() - 1));
    const lxw_error closed = workbook_close(book_); // frees the workbook
    book_ = nullptr;
    if (closed != LXW_NO_ERROR) {
      fail(QString::fromUtf8(lxw_strerror(closed)));
      return false;
    }
    QFile written(temp_.fileName());
    if (!written.open(QIODevice::ReadOnly)) {
      fail(written.errorString());
      return false;
    }
    while (!written.atEnd())
      if (out_.write(written.read(1 << 16)) < 0) return false;
    return out_.commit();
  }

private:
  // A sheet's name: up to 31 characters, none of []:*?/\ (the report's title without the
  // system's name before it).
  static QString sheetName(QString title) {
    title.remove(QStringLiteral("Escrivon - "));
    for (QChar bad : QStringLiteral("[]:*?/\\"))
      title.replace(bad, ' ');
    title = title.left(31).trimmed();
    return title.isEmpty() ? QStringLiteral("Relatório") : title;
  }

  void write(int c, const QVariant& v) {
    const lxw_row_t r = row_;
    const auto col = lxw_col_t(c);
    if (!v.isValid() || v.isNull()) return;
    if (v.typeId() == QMetaType::QDate) {
      const QDate d = v.toDate();
      lxw_datetime when{d.year(), d.month(), d.day(), 0, 0, 0};
      check(worksheet_write_datetime(sheet_, r, col, &when, date_));
      widen(c, 10);
    } else if (isInteger(v)) {
      check(worksheet_write_number(sheet_, r, col, double(v.toLongLong()), nullptr));
      widen(c, QString::number(v.toLongLong()).size());
    } else if (isNumber(v)) {
      const bool amount = c < columns_.size() && columns_[c].mask == Mask::Amount;
      check(worksheet_write_number(sheet_, r, col, v.toDouble(), amount ? amount_ : nullptr));
      widen(c, (amount ? fmt::amount(v.toDouble()) : fmt::general(v.toDouble())).size());
    } else {
      const QString text = v.toString();
      check(worksheet_write_string(sheet_, r, col, text.toUtf8().constData(), nullptr));
      widen(c, text.size());
    }
  }

  void widen(int c, qsizetype chars) {
    if (c < widths_.size()) widths_[c] = std::max(widths_[c], int(chars));
  }

  void check(lxw_error e) {
    if (e != LXW_NO_ERROR && error_.isEmpty()) error_ = QString::fromUtf8(lxw_strerror(e));
  }

  void fail(const QString& why) {
    if (error_.isEmpty()) error_ = why;
  }

  QSaveFile out_;
  QTemporaryFile temp_;
  QVector<TableColumn> columns_;
  QVector<int> widths_; // in characters, for the columns' widths
  lxw_workbook* book_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
  lxw_format *bold_ = nullptr, *amount_ = nullptr, *date_ = nullptr;
  lxw_row_t row_ = 0; // the last row written; 0 is the headings
  QString error_;
};

} // namespace

std::unique_ptr<SheetWriter> SheetWriter::create(SheetFormat format, const QString& path,
                                                 const QString& title,
                                                 const QVector<TableColumn>& columns) {
  if (format == SheetFormat::Csv) return std::make_unique<CsvWriter>(path, columns);
  return std::make_unique<XlsxWriter>(path, title, columns);
}

} // namespace esc::report
