// escrivon-report --data-dir DIR REPORT [--NAME VALUE ...] [--impressora] -o FILE.pdf
// escrivon-report --data-dir DIR grafico --ano AAAA -o FILE.pdf
// escrivon-report --list
// Runs one of Escrivon's reports with the values its dialog would take and writes the pages
// to a PDF file, or its detail rows to a spreadsheet when FILE ends in .csv or .xlsx. Needs no
// display.
#include "charts/yearCharts.h"
#include "reports/engine/layout.h"
#include "reports/engine/pdfOutput.h"
#include "reports/engine/registry.h"
#include "reports/engine/render.h"
#include "reports/engine/tableExport.h"
#include "store/dataModule.h"
#include "store/storeerror.h"

#include <QApplication>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>
#include <exception>
#include <memory>

namespace {

// Messages of the data module and of the report rules go to the error output.
class ConsoleUi : public esc::Ui, public esc::Progress {
public:
  void message(const QString& text) override { QTextStream(stderr) << text << "\n"; }
  void error(const QString& text) override { QTextStream(stderr) << text << "\n"; }
  bool confirm(const QString& text) override {
    QTextStream(stderr) << text << " (Não)\n";
    return false;
  }
  std::optional<QString> prompt(const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  Progress& progress() override { return *this; }
  void setRange(int, int) override {}
  void setPosition(int) override {}
  void reset() override {}
};

const char* usage = "uso: escrivon-report --data-dir DIR RELATORIO [--NOME VALOR ...] "
                    "[--impressora] -o ARQUIVO.pdf|.csv|.xlsx\n"
                    "     escrivon-report --data-dir DIR diario --livro -o LIVRO.pdf\n"
                    "     escrivon-report --data-dir DIR grafico --ano AAAA -o GRAFICOS.pdf\n"
                    "     escrivon-report --list\n";

const char* description =
    "Escreve um relatório do Escrivon com os valores que o seu diálogo tomaria, sem janela:\n"
    "em PDF, ou as linhas de detalhe numa planilha quando ARQUIVO termina em .csv ou .xlsx.\n"
    "Só lê o livro (abre os arquivos só para leitura, sem trava), e pode rodar ao lado do\n"
    "escrivon aberto.\n"
    "  --data-dir DIR   o diretório de dados do livro\n"
    "  RELATORIO        o nome do relatório; --list mostra os relatórios e as opções de cada\n"
    "                   um, pelo nome legível (--periodo, --conta-de, --ordem...) e pelo nome\n"
    "                   do campo do diálogo (--EdBPeriodo...), que também vale\n"
    "  --impressora     monta o relatório como o botão \"Impressora\" o monta\n"
    "  --livro          (diario) o livro inteiro num só PDF: termos de abertura e de\n"
    "                   encerramento em volta do Diário\n"
    "  grafico --ano AAAA   a página de gráficos do exercício, em PDF\n"
    "  -o ARQUIVO       o arquivo a escrever; nunca um arquivo do livro nem outro banco\n"
    "Saída: 0 escrito; 1 falha do livro ou da gravação; 2 uso errado, opção desconhecida ou\n"
    "valor que o diálogo recusa (com a mensagem do diálogo).\n";

// The journal book as it is filed: the opening term, the journal and the closing term, in
// one PDF. It is the run of the dialog's "&Impressora" (three print jobs) written as one file.
const QString bookReport = QStringLiteral("diario");

// The charts of a year on one A4 landscape page, as the "Gráficos" page saves them. Not a
// report of the registry: Qt Charts draws it, and Qt Charts needs a QApplication.
const char* const chartsReport = "grafico";

int writeCharts(const QString& dataDir, const esc::report::ParamValues& given,
                const QString& outFile, QTextStream& err) {
  for (auto it = given.begin(); it != given.end(); ++it)
    if (it.key() != QLatin1String("ano")) {
      err << "escrivon-report: opção desconhecida para " << chartsReport << ": --" << it.key()
          << "\n";
      return 2;
    }
  const QString year = given.value("ano");
  static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
  if (!fourDigits.match(year).hasMatch()) {
    err << "escrivon-report: " << chartsReport << " pede o exercício: --ano AAAA\n";
    return 2;
  }
  // As for the reports: never over a file of the book, nor any other database.
  if (const QString refusal = esc::report::outputRefusal(outFile, dataDir); !refusal.isEmpty()) {
    err << "escrivon-report: " << refusal << "\n";
    return 2;
  }
  ConsoleUi ui;
  esc::TDEscrivon dm(ui);
  // Only reads: every file read-only, nothing created, no lock.
  dm.connectDirectory(dataDir, esc::Database::Access::ReadOnly);
  for (esc::Table* t : dm.tables())
    t->open();
  esc::Database& db = dm.database();
  const esc::YearPanel panel = esc::loadYearPanel(db, year);
  if (const QString failure =
          esc::charts::writePdf(outFile, panel, esc::charts::readHeading(db), dataDir);
      !failure.isEmpty()) {
    err << "escrivon-report: " << failure << "\n";
    return 1;
  }
  err << "escrivon-report: " << outFile << ": 1 página, gráficos de " << year << "\n";
  return 0;
}

void list(QTextStream& out) {
  out << chartsReport << "  Gráficos do exercício numa página A4 deitada\n"
      << "    --ano AAAA   o exercício\n";
  for (const esc::report::ReportEntry& e : esc::report::ReportRegistry::instance().entries()) {
    out << e.id << "  " << e.description << "  [botão " << e.button << "]\n";
    if (e.id == bookReport)
      out << "    --livro   o livro inteiro num só PDF: Termo de Abertura, Diário Contábil e "
             "Termo de Encerramento\n";
    if (!e.dialog) continue;
    const auto init = e.dialog->initialValues();
    // The readable name first, the dialog's widget name (which is also taken) in brackets.
    const auto option = [](const QString& alias, const QString& name, const char* value) {
      return QStringLiteral("    --%1 %2").arg(alias, QLatin1String(value)).leftJustified(30) +
             QStringLiteral("[--%1]  ").arg(name).leftJustified(22);
    };
    for (const auto& f : e.dialog->fields) {
      out << option(f.alias, f.from, "VALOR") << f.label;
      if (!f.initial.isEmpty()) out << " (inicial: " << f.initial << ")";
      out << "\n";
      if (!f.to.isEmpty()) out << option(f.toAlias, f.to, "VALOR") << f.toLabel << "\n";
    }
    for (const auto& c : e.dialog->checks)
      out << option(c.alias, c.name, "0|1") << c.caption << " (inicial: " << init.value(c.name)
          << ")\n";
    if (e.dialog->choice) {
      const auto& choice = *e.dialog->choice;
      out << option(choice.alias, choice.name, "ITEM") << choice.caption << ":";
      for (int i = 0; i < choice.items.size(); ++i)
        out << (i ? ", " : " ") << i + 1 << "=\"" << QString(choice.items[i]).remove('&') << "\"";
      out << "\n";
    }
  }
}

// The detail rows of the run's report that has them (the terms around the journal have none)
// to the spreadsheet `outFile`; the exit status.
int writeSheet(esc::report::SheetFormat format, const esc::report::Reports& reports,
               const QString& reportId, esc::Database& db, const QString& outFile,
               QTextStream& err) {
  const auto def = std::find_if(reports.begin(), reports.end(),
                                [](const auto& d) { return esc::report::hasDetailRows(*d); });
  if (def == reports.end()) {
    err << "escrivon-report: " << esc::report::noDetailRowsMessage(reportId) << "\n";
    return 2;
  }
  const auto writer = esc::report::SheetWriter::create(format, outFile, (*def)->title,
                                                       esc::report::detailColumns(**def));
  qint64 rows = 0;
  if (writer->isOpen()) rows = esc::report::exportRows(**def, db, *writer).rows;
  if (!writer->isOpen() || !writer->finish()) {
    err << "escrivon-report: " << esc::report::cannotWriteMessage(outFile, writer->errorString())
        << "\n";
    return 1;
  }
  err << "escrivon-report: " << outFile << ": " << rows << " linha(s)\n";
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  // Pages are laid out with the report fonts' metrics; no window is ever shown.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The charts draw with Qt's widgets; the reports need only the fonts.
  const bool charts = std::any_of(argv + 1, argv + argc,
                                  [](const char* a) { return qstrcmp(a, chartsReport) == 0; });
  std::unique_ptr<QGuiApplication> app = charts ? std::make_unique<QApplication>(argc, argv)
                                                : std::make_unique<QGuiApplication>(argc, argv);
  QTextStream out(stdout), err(stderr);
  const QStringList args = app->arguments().mid(1);
  QString dataDir, reportId, outFile;
  esc::report::ParamValues given;
  esc::report::Output output = esc::report::Output::Video;
  bool wholeBook = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    auto value = [&]() -> QString {
      if (i + 1 >= args.size()) {
        err << "escrivon-report: falta o valor de " << a << "\n" << usage;
        std::exit(2);
      }
      return args[++i];
    };
    if (a == "--list") {
      list(out);
      return 0;
    } else if (a == "-h" || a == "--help") {
      out << usage << "\n" << description;
      return 0;
    } else if (a == "--data-dir") {
      dataDir = value();
    } else if (a == "-o" || a == "--output") {
      outFile = value();
    } else if (a == "--impressora") {
      output = esc::report::Output::Printer;
    } else if (a == "--livro") {
      output = esc::report::Output::Printer;
      wholeBook = true;
    } else if (a.startsWith("--")) {
      given.insert(a.mid(2), value());
    } else if (reportId.isEmpty()) {
      reportId = a;
    } else {
      err << "escrivon-report: argumento inesperado: " << a << "\n" << usage;
      return 2;
    }
  }
  if (dataDir.isEmpty() || reportId.isEmpty() || outFile.isEmpty()) {
    err << usage;
    return 2;
  }
  if (reportId == QLatin1String(chartsReport)) {
    try {
      return writeCharts(dataDir, given, outFile, err);
    } catch (const esc::StoreError& e) {
      err << "escrivon-report: " << e.message() << "\n";
      return 1;
    }
  }
  const esc::report::ReportEntry* entry = esc::report::ReportRegistry::instance().byId(reportId);
  if (!entry) {
    err << "escrivon-report: relatório desconhecido: " << reportId
        << " (--list mostra os relatórios)\n";
    return 2;
  }
  if (wholeBook && entry->id != bookReport) {
    err << "escrivon-report: --livro vale só para o relatório " << bookReport << "\n";
    return 2;
  }
  // Options by their readable names or the dialog's widget names; a value the dialog's box
  // could not hold is refused here, as the box would not take it.
  {
    esc::report::ParamValues named;
    for (auto it = given.cbegin(); it != given.cend(); ++it) {
      const QString name = entry->dialog ? entry->dialog->nameOf(it.key()) : QString();
      if (name.isEmpty()) {
        err << "escrivon-report: opção desconhecida para " << entry->id << ": --" << it.key()
            << " (--list mostra as opções)\n";
        return 2;
      }
      QString value = it.value();
      const auto& form = *entry->dialog;
      for (const auto& f : form.fields)
        if ((f.from == name || f.to == name) && f.maxLength > 0 && value.size() > f.maxLength) {
          err << "escrivon-report: --" << it.key() << " aceita até " << f.maxLength
              << " caracteres: " << value << "\n";
          return 2;
        }
      for (const auto& c : form.checks)
        if (c.name == name && value != "0" && value != "1") {
          err << "escrivon-report: --" << it.key() << " aceita 0 ou 1: " << value << "\n";
          return 2;
        }
      if (form.choice && name == form.choice->name) {
        value = form.choice->itemOf(value);
        if (value.isEmpty()) {
          err << "escrivon-report: item desconhecido de --" << it.key() << ": " << it.value()
              << "\n";
          return 2;
        }
      }
      named.insert(name, value);
    }
    given = named;
  }
  // The report never replaces a file of the book, nor any other database.
  if (const QString refusal = esc::report::outputRefusal(outFile, dataDir); !refusal.isEmpty()) {
    err << "escrivon-report: " << refusal << "\n";
    return 2;
  }
  ConsoleUi ui;
  try {
    esc::TDEscrivon dm(ui);
    // Only reads: every file read-only, nothing created, no lock.
    dm.connectDirectory(dataDir, esc::Database::Access::ReadOnly);
    for (esc::Table* t : dm.tables())
      t->open();
    esc::report::BuildContext ctx{dm, output};
    const esc::report::Reports reports =
        entry->build(ctx, esc::report::withInitials(entry->dialog, given));
    if (const auto format = esc::report::sheetFormatOf(outFile))
      return writeSheet(*format, reports, entry->id, dm.database(), outFile, err);
    // Named by the first report that has a title (the terms have none).
    QString title;
    for (const auto& def : reports)
      if (title.isEmpty()) title = def->title;
    esc::report::PdfFileSink sink(outFile, title);
    if (!sink.isOpen()) {
      err << "escrivon-report: " << esc::report::cannotWriteMessage(outFile, sink.errorString())
          << "\n";
      return 1;
    }
    qint64 rows = 0;
    int pages = 0;
    for (const auto& def : reports) {
      const auto stats = esc::report::layOut(*def, &dm.database(), sink);
      rows += stats.rows;
      pages += stats.pages;
    }
    if (!sink.finish()) {
      err << "escrivon-report: " << esc::report::cannotWriteMessage(outFile, sink.errorString())
          << "\n";
      return 1;
    }
    err << "escrivon-report: " << outFile << ": " << pages << " página(s), " << rows
        << " linha(s)\n";
  } catch (const esc::report::Refusal& r) {
    // What the dialog refuses was given on the command line: a usage fault, in its words.
    err << "escrivon-report: " << r.message << "\n";
    return 2;
  } catch (const esc::StoreError& e) {
    err << "escrivon-report: " << e.message() << "\n";
    return 1;
  } catch (const std::exception& e) {
    err << "escrivon-report: " << QString::fromUtf8(e.what()) << "\n";
    return 1;
  }
  return 0;
}
