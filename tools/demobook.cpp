#include "demobook.h"
#include "book/keys.h"
#include "book/period.h"

#include "journal/documentProcessing.h"
#include "period/spedData.h"
#include "period/syntheticUpdate.h"
#include "store/dataModule.h"
#include "store/database.h"
#include "store/formats.h"
#include "store/schema.h"
#include "store/storeerror.h"
#include "store/userPrompts.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <algorithm>
#include <stdexcept>

namespace esc {

QString encodePassword(const QString& password) {
  if (password.size() != 8)
    throw std::invalid_argument("a senha de entrada deve ter exatamente 8 caracteres");
  QString out;
  for (QChar c : password) {
    if (c.unicode() > 255)
      throw std::invalid_argument("a senha de entrada só pode ter caracteres de código 0 a 255");
    out += QStringLiteral("%1").arg(c.unicode(), 3, 10, QChar('0'));
  }
  return out;
}

namespace {

struct Account {
  const char* code;
  const char* current;
  const char* name;
  const char* currentName;
  char nature;
};

// A small chart on six levels: a synthetic account of level n is its first n digits
// followed by zeros; level 6 receives entries.
const Account chart[] = {
    {"100000", "999", "ATIVO", "", 'D'},
    {"110000", "999", "ATIVO CIRCULANTE", "", 'D'},
    {"111000", "999", "DISPONÍVEL", "", 'D'},
    {"111100", "999", "CAIXA E BANCOS", "", 'D'},
    {"111110", "999", "CAIXA", "", 'D'},
    {"111111", "999", "CAIXA GERAL", "", 'D'},
    {"111120", "999", "BANCOS CONTA MOVIMENTO", "", 'D'},
    {"111121", "0001", "BANCO DO BRASIL", "AG 1234-5 CC 67890-1", 'D'},
    {"111121", "0002", "BANCO DO BRASIL", "AG 1234-5 CC 11223-4", 'D'},
    {"111122", "999", "CAIXA ECONÔMICA FEDERAL", "", 'D'},
    {"112000", "999", "CRÉDITOS", "", 'D'},
    {"112100", "999", "CLIENTES", "", 'D'},
    {"112110", "999", "DUPLICATAS A RECEBER", "", 'D'},
    {"112111", "0001", "CLIENTES NACIONAIS", "COMERCIAL ARAÚJO LTDA", 'D'},
    {"112111", "0002", "CLIENTES NACIONAIS", "ÉPOCA SERVIÇOS S/A", 'D'},
    {"120000", "999", "ATIVO NÃO CIRCULANTE", "", 'D'},
    {"121000", "999", "IMOBILIZADO", "", 'D'},
    {"121100", "999", "BENS EM OPERAÇÃO", "", 'D'},
    {"121110", "999", "MÓVEIS E EQUIPAMENTOS", "", 'D'},
    {"121111", "999", "MÓVEIS E UTENSÍLIOS", "", 'D'},
    {"121112", "999", "EQUIPAMENTOS DE INFORMÁTICA", "", 'D'},
    {"200000", "999", "PASSIVO", "", 'C'},
    {"210000", "999", "PASSIVO CIRCULANTE", "", 'C'},
    {"211000", "999", "OBRIGAÇÕES", "", 'C'},
    {"211100", "999", "FORNECEDORES E ENCARGOS", "", 'C'},
    {"211110", "999", "FORNECEDORES", "", 'C'},
    {"211111", "0001", "FORNECEDORES NACIONAIS", "PAPELARIA CENTRAL LTDA", 'C'},
    {"211111", "0002", "FORNECEDORES NACIONAIS", "ÁGUA E LUZ DISTRIBUIDORA", 'C'},
    {"211120", "999", "OBRIGAÇÕES TRABALHISTAS", "", 'C'},
    {"211121", "999", "SALÁRIOS A PAGAR", "", 'C'},
    {"211122", "999", "INSS A RECOLHER", "", 'C'},
    {"290000", "999", "PATRIMÔNIO LÍQUIDO", "", 'C'},
    {"291000", "999", "CAPITAL SOCIAL", "", 'C'},
    {"291100", "999", "CAPITAL SUBSCRITO", "", 'C'},
    {"291110", "999", "CAPITAL REALIZADO", "", 'C'},
    {"291111", "999", "CAPITAL SOCIAL INTEGRALIZADO", "", 'C'},
    {"299000", "999", "RESULTADOS", "", 'C'},
    {"299900", "999", "RESULTADO DO EXERCÍCIO", "", 'C'},
    {"299990", "999", "APURAÇÃO DO RESULTADO", "", 'C'},
    {"299999", "999", "RESULTADO DO EXERCÍCIO", "", 'C'},
    {"300000", "999", "RECEITAS", "", 'C'},
    {"310000", "999", "RECEITAS OPERACIONAIS", "", 'C'},
    {"311000", "999", "RECEITA DE SERVIÇOS", "", 'C'},
    {"311100", "999", "SERVIÇOS PRESTADOS", "", 'C'},
    {"311110", "999", "SERVIÇOS", "", 'C'},
    {"311111", "999", "RECEITA DE CONSULTORIA", "", 'C'},
    {"311112", "999", "RECEITAS FINANCEIRAS", "", 'C'},
    {"400000", "999", "DESPESAS", "", 'D'},
    {"410000", "999", "DESPESAS OPERACIONAIS", "", 'D'},
    {"411000", "999", "DESPESAS ADMINISTRATIVAS", "", 'D'},
    {"411100", "999", "DESPESAS GERAIS", "", 'D'},
    {"411110", "999", "PESSOAL E OCUPAÇÃO", "", 'D'},
    {"411111", "999", "SALÁRIOS E ORDENADOS", "", 'D'},
    {"411112", "999", "ALUGUÉIS", "", 'D'},
    {"411113", "999", "ENERGIA ELÉTRICA", "", 'D'},
    {"411114", "999", "MATERIAL DE ESCRITÓRIO", "", 'D'},
};

int levelOf(const QString& code) {
  int n = 6;
  while (n > 1 && code[n - 1] == '0')
    --n;
  return n;
}

const char* descriptions[][2] = {
    {"0001", "PAGAMENTO CONFORME NOTA FISCAL"},
    {"0002", "RECEBIMENTO DE CLIENTE"},
    {"0003", "DEPÓSITO BANCÁRIO"},
    {"0004", "SALÁRIOS DO MÊS"},
    {"0005", "TARIFAS BANCÁRIAS"},
    {"0006", "COMPRA DE MATERIAL DE ESCRITÓRIO"},
    {"0007", "INTEGRALIZAÇÃO DE CAPITAL"},
    {"0008", "PRESTAÇÃO DE SERVIÇOS"},
};

QString twoDigits(int n) {
  return QStringLiteral("%1").arg(n, 2, 10, QChar('0'));
}

// An account and its twelve trial-balance rows of the year, as the chart page saves them.
void insertAccount(Database& db, const QString& year, const QString& code, const QString& cc,
                   const QString& name, const QString& ccName, const QString& nature,
                   const QString& level) {
  db.exec("INSERT INTO contas VALUES (?, ?, ?, ?, ?, ?, ?)",
          {book::accountPair(code, cc), code, name, cc, ccName, nature, level});
  for (int m = 1; m <= 12; ++m) {
    const QString period = book::period(year, m);
    db.exec("INSERT INTO balanco (CodigoContaContabil, CodigoContaCorrente, Periodo, "
            "CodCtaConCodCtaCor, TipoSaldoAnterior, SaldoAnterior, ValorCredito, ValorDebito, "
            "SaldoAtual, TipoSaldoAtual, NaturezaDaConta, NivelDaConta) "
            "VALUES (?, ?, ?, ?, ?, 0.0, 0.0, 0.0, 0.0, ?, ?, ?)",
            {code, cc, period, book::balanceKey(period, book::accountPair(code, cc)), nature,
             nature, nature, level});
  }
}

void insertDemoChart(Database& db, const QString& year) {
  for (const Account& a : chart)
    insertAccount(db, year, a.code, a.current, QString::fromUtf8(a.name),
                  QString::fromUtf8(a.currentName), QString(QChar(a.nature)),
                  QString::number(levelOf(a.code)));
  for (const auto& d : descriptions)
    db.exec("INSERT INTO historic VALUES (?, ?)", {d[0], QString::fromUtf8(d[1])});
}

// The lines take groups 3 and 4 whole, as the result account's update does, so that the
// statement's result is the result account's. A range's end is compared with whole keys
// (account and current account), so it names a code above the group's last account.
void insertGroups(Database& db) {
  db.exec("INSERT INTO demresul (OrdemDoGrupo, ContaInicial, ContaFinal, NomeDoGrupo, "
          "SinalDoGrupo, SaldoDoGrupo, AnoEMes, Acumulado) VALUES "
          "('01', '311111', '399999', 'RECEITA OPERACIONAL BRUTA', '+', 0, '', 0), "
          "('02', '411111', '499999', 'DESPESAS ADMINISTRATIVAS', '-', 0, '', 0), "
          "('03', '', '', 'RESULTADO DO EXERCÍCIO', '=', 0, '', 0)");
}

// The referential code of an analytic account of the demo chart, or of a generated one by its
// class (the referential chart of companies under Lucro Real).
QString referentialCode(const QString& code) {
  static const QMap<QString, QString> known = {
      {"111111", "1.01.01.01.01"},    {"111121", "1.01.01.02.01"},
      {"111122", "1.01.01.03.01"},    {"112111", "1.01.02.01.01"},
      {"121111", "1.02.03.01.01"},    {"121112", "1.02.03.01.01"},
      {"211111", "2.01.01.03.01"},    {"211121", "2.01.01.01.01"},
      {"211122", "2.01.01.02.01"},    {"291111", "2.03.01.01.01"},
      {"299999", "2.03.04.01.01"},    {"311111", "3.01.01.01.01.02"},
      {"311112", "3.01.01.05.01.01"}, {"411111", "3.01.01.07.01.01"},
      {"411112", "3.01.01.07.01.13"}, {"411113", "3.01.01.07.01.14"},
      {"411114", "3.01.01.07.01.27"}};
  if (known.contains(code)) return known.value(code);
  static const QMap<QChar, QString> byClass = {{'1', "1.01.01.02.01"},
                                               {'2', "2.01.01.03.01"},
                                               {'3', "3.01.01.01.01.02"},
                                               {'4', "3.01.01.07.01.99"}};
  return byClass.value(code[0]);
}

// What the digital bookkeeping file needs beyond the book, so that it can be exported at once:
// a real municipality (São Paulo), valid check digits, an accountant and a legal responsible,
// and a referential code for every analytic account of the chart.
void insertSpedSample(Database& db, int year) {
  SpedData d;
  d.uf = "SP";
  d.municipalityCode = "3550308";
  d.municipalityName = QStringLiteral("SÃO PAULO");
  d.nire = "35200123456";
  d.nireDate = QDate(year - 5, 3, 14);
  d.stateRegistration = "110042490114";
  d.municipalRegistration = "12345678";
  d.referentialChart = "1";
  SpedSignatory accountant;
  accountant.name = QStringLiteral("JOSÉ DA SILVA");
  accountant.cpf = "52998224725";
  accountant.qualification = "Contador";
  accountant.code = "900";
  accountant.crc = "1SP123456O7";
  accountant.email = "contador@example.com.br";
  accountant.phone = "1133334444";
  accountant.crcUf = "SP";
  accountant.crcSequence = QStringLiteral("SP/%1/000123").arg(year);
  accountant.crcValidity = QDate(year + 1, 6, 30);
  SpedSignatory director;
  director.name = QStringLiteral("MARIA DE SOUZA");
  director.cpf = "11144477735";
  director.qualification = "Diretor";
  director.code = "203";
  director.email = "diretoria@example.com.br";
  director.phone = "1133335555";
  director.legalResponsible = true;
  d.signatories = {accountant, director};
  for (const QVariantList& r : db.select("SELECT CodigoContaContabil, CodigoContaCorrente FROM "
                                         "contas WHERE NivelDaConta = '6'"))
    d.referentialCodes.insert(book::accountPair(r[0].toString(), r[1].toString()),
                              referentialCode(r[0].toString()));
  const OperationResult r = saveSpedData(db, d);
  if (r.isRefused()) throw std::runtime_error(r.message().toStdString());
}

// One entry of a document as the user types it on the "Documentos" page.
struct TypedEntry {
  QString code, current, hist, dc, compl_;
  qint64 cents = 0;
};

struct TypedDocument {
  QDate date;
  QVector<TypedEntry> entries;
};

// The data module of a book being filled, with the journal saved and documents processed
// through the same cursor and operation the "Documentos" page uses.
class BookSession {
public:
  BookSession(const QString& directory, const QString& year) : dm_(ui_), year_(year) {
    dm_.connectDirectory(directory);
    for (Table* t : dm_.tables())
      t->open();
    dm_.TbLancamen->setOrder("SI_AnoContasMesDia");
  }
  ~BookSession() { dm_.closeAll(); }
  Database& db() { return dm_.database(); }

  // "&Incluir" without a document number typed, then "&Gravar" of each entry: the document
  // filter on the new number, each entry keyed by the selected year and saved with "N".
  void save(const QString& doc, const TypedDocument& d) {
    Table& j = *dm_.TbLancamen;
    j.setFilter("NumeroDocumento=" + doc);
    j.setFiltered(true);
    const QString day = fmt::date(d.date); // dd/mm/yyyy
    for (const TypedEntry& e : d.entries) {
      j.insert();
      j.setValue("AnoContasMesDia",
                 book::entryKey(year_, e.code, e.current, day.mid(3, 2), day.left(2)));
      j.setValue("CodCtaConCodCtaCor", book::accountPair(e.code, e.current));
      j.setValue("CodigoContaContabil", e.code);
      j.setValue("CodigoContaCorrente", e.current);
      j.setValue("CodigoHistorico", e.hist);
      j.setValue("TipoDeLancamento", e.dc);
      j.setValue("HistoricoComplementar", e.compl_);
      j.setValue("ValorLancamento", e.cents / 100.0);
      j.setValue("Situacao", "N");
      j.setValue("DataDaContabilizacao", d.date);
      j.setValue("NumeroDocumento", doc);
      j.post();
    }
  }

  // Processes the documents as one batch, as the engine does for any caller.
  void process(const QStringList& docs) {
    NoProgress quiet;
    const ProcessingResult r = DocumentProcessing(db(), year_).run(docs, quiet);
    if (r.isDone()) return;
    QStringList texts;
    for (const ProcessingRefusal& f : r.refusals)
      texts << f.document + ": " + f.text;
    throw std::runtime_error(
        QStringLiteral("documentos não processados: %1").arg(texts.join(" / ")).toStdString());
  }

private:
  SilentUi ui_;
  TDEscrivon dm_;
  QString year_; // the selected fiscal year
};

QString docNumber(int n) {
  return QStringLiteral("%1").arg(n, 5, 10, QChar('0'));
}

// A year of a small consultancy: monthly invoices to two clients and their receipts, rent,
// energy, office supplies, payroll with its social security, transfers to a savings account
// and its interest, and two purchases of equipment. Amounts vary from month to month; every
// document balances.
QVector<TypedDocument> demoYear(int year) {
  QVector<TypedDocument> docs;
  auto add = [&](int month, int day, QVector<TypedEntry> entries) {
    docs.push_back({QDate(year, month, day), std::move(entries)});
  };
  for (int m = 1; m <= 12; ++m) {
    const QString mm = twoDigits(m) + "/" + QString::number(year);
    const QString prev = twoDigits(m == 1 ? 12 : m - 1) + "/" + QString::number(year);
    const qint64 saleA = 1650000 + 73140 * ((m * 7) % 5) + 1995 * m;
    const qint64 saleB = 720000 + 41025 * ((m * 3) % 4);
    const qint64 energy = 41260 + 5317 * ((m * 5) % 6);
    const qint64 gross = m < 5 ? 980000 : 1038800; // a raise in May
    const qint64 inss = gross * 11 / 100;
    const qint64 prevGross = m - 1 < 5 ? 980000 : 1038800;
    const QString invoiceA = QStringLiteral("NF %1 COMERCIAL ARAÚJO").arg(1000 + 2 * m - 1);
    const QString invoiceB = QStringLiteral("NF %1 ÉPOCA SERVIÇOS").arg(1000 + 2 * m);

    add(m, m == 1 ? 6 : 3,
        {{"112111", "0001", "0008", "D", invoiceA, saleA},
         {"311111", "999", "0008", "C", invoiceA, saleA}});
    add(m, 8,
        {{"112111", "0002", "0008", "D", invoiceB, saleB},
         {"311111", "999", "0008", "C", invoiceB, saleB}});
    add(m, 10,
        {{"411112", "999", "0001", "D", "ALUGUEL " + mm, 320000},
         {"111121", "0001", "0001", "C", "ALUGUEL " + mm, 320000}});
    add(m, 12,
        {{"411113", "999", "0001", "D", "CONTA DE ENERGIA " + mm, energy},
         {"211111", "0002", "0001", "C", "CONTA DE ENERGIA " + mm, energy}});
    if (m % 2 == 1) {
      const qint64 supplies = 28790 + 6120 * (m % 4);
      const QString nf = QStringLiteral("NF %1 PAPELARIA CENTRAL").arg(4400 + m);
      add(m, 14,
          {{"411114", "999", "0006", "D", nf, supplies},
           {"211111", "0001", "0006", "C", nf, supplies}});
      add(m, 24,
          {{"211111", "0001", "0001", "D", "PAGTO " + nf, supplies},
           {"111121", "0001", "0001", "C", "PAGTO " + nf, supplies}});
    }
    if (m > 1)
      add(m, 15,
          {{"211122", "999", "0001", "D", "INSS COMPETÊNCIA " + prev, prevGross * 11 / 100},
           {"111121", "0001", "0001", "C", "INSS COMPETÊNCIA " + prev, prevGross * 11 / 100}});
    add(m, 18,
        {{"111121", "0001", "0002", "D", "RECEBIMENTO " + invoiceA, saleA},
         {"112111", "0001", "0002", "C", "RECEBIMENTO " + invoiceA, saleA}});
    if (m < 12) // December's invoice to the second client is still open at the year's end
      add(m, 21,
          {{"111121", "0002", "0002", "D", "RECEBIMENTO " + invoiceB, saleB},
           {"112111", "0002", "0002", "C", "RECEBIMENTO " + invoiceB, saleB}});
    add(m, 22,
        {{"211111", "0002", "0001", "D", "PAGTO ENERGIA " + mm, energy},
         {"111121", "0002", "0001", "C", "PAGTO ENERGIA " + mm, energy}});
    add(m, 25,
        {{"411111", "999", "0004", "D", "FOLHA DE PAGAMENTO " + mm, gross},
         {"211121", "999", "0004", "C", "SALÁRIOS LÍQUIDOS " + mm, gross - inss},
         {"211122", "999", "0004", "C", "INSS RETIDO " + mm, inss}});
    if (m % 3 == 0)
      add(m, 26,
          {{"111122", "999", "0003", "D", "APLICAÇÃO " + mm, 500000},
           {"111121", "0001", "0003", "C", "APLICAÇÃO " + mm, 500000}});
    if (m > 3) {
      const qint64 interest = 3517 + 1288 * (m / 3);
      add(m, 27,
          {{"111122", "999", "0003", "D", "RENDIMENTO " + mm, interest},
           {"311112", "999", "0003", "C", "RENDIMENTO " + mm, interest}});
    }
    add(m, 28,
        {{"211121", "999", "0004", "D", "PAGAMENTO SALÁRIOS " + mm, gross - inss},
         {"111121", "0001", "0004", "C", "PAGAMENTO SALÁRIOS " + mm, gross - inss}});
    if (m == 3) {
      add(m, 16,
          {{"121112", "999", "0001", "D", "NF 5521 NOTEBOOKS (3)", 798000},
           {"211111", "0001", "0001", "C", "NF 5521 NOTEBOOKS (3)", 798000}});
    } else if (m == 4) {
      add(m, 16,
          {{"211111", "0001", "0001", "D", "PAGTO NF 5521 NOTEBOOKS", 798000},
           {"111121", "0001", "0001", "C", "PAGTO NF 5521 NOTEBOOKS", 798000}});
    } else if (m == 7) {
      add(m, 9,
          {{"121111", "999", "0001", "D", "NF 880 MESAS E CADEIRAS", 435000},
           {"111121", "0002", "0001", "C", "NF 880 MESAS E CADEIRAS", 435000}});
    }
  }
  // Documents are numbered in date order, as they are typed.
  std::stable_sort(docs.begin(), docs.end(),
                   [](const TypedDocument& a, const TypedDocument& b) { return a.date < b.date; });
  return docs;
}

void insertDemoDocuments(BookSession& s, int year, bool wholeYear) {
  // Two documents typed but not processed yet, so a new user can process one.
  s.save("00001", {QDate(year, 1, 5),
                   {{"111121", "0001", "0007", "D", "CAPITAL INICIAL", 5000000},
                    {"291111", "999", "0007", "C", "CAPITAL INICIAL", 5000000}}});
  s.save("00002", {QDate(year, 1, 20),
                   {{"411114", "999", "0006", "D", "NF 1234 PAPELARIA CENTRAL", 34567},
                    {"211111", "0001", "0006", "C", "NF 1234 PAPELARIA CENTRAL", 34567}}});
  if (!wholeYear) return;
  int n = 2;
  QStringList docs;
  for (const TypedDocument& d : demoYear(year)) {
    docs << docNumber(++n);
    s.save(docs.last(), d);
  }
  s.process(docs);
}

struct Prepared {
  QDir dir;
  QString encoded;
  int year = 0;
  QStringList created;
};

// Checks the options and creates the eight empty table files.
Prepared prepareDirectory(const InitOptions& o) {
  if (o.directory.isEmpty()) throw std::runtime_error("nenhum diretório indicado");
  Prepared p;
  p.encoded = encodePassword(o.password); // refuse before writing anything
  p.year = o.year ? o.year : QDate::currentDate().year();
  if (p.year < 1000 || p.year > 9999)
    throw std::runtime_error("o exercício deve ter quatro dígitos");
  if (o.cnpj.size() > 18) throw std::runtime_error("o CNPJ tem no máximo 18 caracteres");
  if (o.organization.size() > 40)
    throw std::runtime_error("o nome da organização tem no máximo 40 caracteres");
  p.dir = QDir(o.directory);
  for (const TableDef& t : allTables())
    if (QFileInfo::exists(p.dir.filePath(t.fileName)))
      throw std::runtime_error(
          QStringLiteral("o diretório %1 já contém a tabela %2; nada foi alterado")
              .arg(p.dir.absolutePath(), t.fileName)
              .toStdString());
  if (!p.dir.exists() && !QDir().mkpath(p.dir.absolutePath()))
    throw std::runtime_error(QStringLiteral("não foi possível criar o diretório %1")
                                 .arg(p.dir.absolutePath())
                                 .toStdString());
  try {
    for (const TableDef& t : allTables()) {
      Database::createTableFile(p.dir.absolutePath(), t.fileName, t.createSql());
      p.created << p.dir.filePath(t.fileName);
    }
  } catch (const StoreError& e) {
    for (const QString& f : p.created)
      QFile::remove(f);
    throw std::runtime_error(e.message().toStdString());
  }
  return p;
}

void insertOrganization(Database& db, const InitOptions& o, const Prepared& p, bool demo) {
  db.exec("INSERT INTO cabecalh (NomeDaOrganizacao, CNPJDaOrganizacao, EnderecoDaOrganizacao, "
          "NomeDoContador, CargoDoContador, ResponsavelOrganizacao, CargoDoResponsavel, "
          "SenhaDeEntrada, PaginaInicial, PaginaFinal, Livro, Registro, LocalData) "
          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
          {o.organization, o.cnpj,
           demo ? QStringLiteral("RUA DAS FLORES, 123 - CENTRO - SÃO PAULO/SP") : QString(),
           demo ? QStringLiteral("JOSÉ DA SILVA") : QString(),
           demo ? QStringLiteral("CONTADOR CRC 1SP123456/O-7") : QString(),
           demo ? QStringLiteral("MARIA DE SOUZA") : QString(),
           demo ? QStringLiteral("DIRETORA PRESIDENTE") : QString(), p.encoded, 1, 100, 1,
           demo ? QStringLiteral("JUCESP 3520012345-6") : QString(),
           demo ? QStringLiteral("SÃO PAULO") : QString()});
  db.exec("INSERT INTO fechamen VALUES (?, '')", {QString::number(p.year)});
}

// Runs `fill` on a session over the new files; on any failure the files are removed.
template <typename Fill> void fillDirectory(Prepared& p, Fill fill) {
  try {
    BookSession s(p.dir.absolutePath(), QString::number(p.year));
    fill(s);
  } catch (const StoreError& e) {
    for (const QString& f : p.created)
      QFile::remove(f);
    throw std::runtime_error(e.message().toStdString());
  } catch (...) {
    for (const QString& f : p.created)
      QFile::remove(f);
    throw;
  }
}

// ---------------------------------------------------------------- the generated book

// A small, portable generator: the same seed gives the same book with any standard library.
class SplitMix {
public:
  explicit SplitMix(quint64 seed) : state_(seed) {}
  quint64 next() {
    quint64 z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return int(next() % quint64(n)); }

private:
  quint64 state_;
};

struct GeneratedPair {
  QString code, current;
};

// The analytic codes of one class: second digit 5 to 9, then four digits 1 to 9, so every
// prefix of n digits is a synthetic account of level n.
QString generatedCode(int classDigit, int k) {
  QString code = QString::number(classDigit) + QString::number(5 + k / 6561);
  int rest = k % 6561;
  QString tail;
  for (int i = 0; i < 4; ++i) {
    tail.prepend(QString::number(1 + rest % 9));
    rest /= 9;
  }
  return code + tail;
}

QVector<GeneratedPair> insertGeneratedChart(Database& db, const QString& year, int pairs) {
  struct Class {
    int digit;
    const char* nature;
    const char* name;
    int share; // per cent of the pairs
  };
  const Class classes[] = {{1, "D", "ATIVO", 40},
                           {2, "C", "PASSIVO", 20},
                           {3, "C", "RECEITA", 15},
                           {4, "D", "DESPESA", 25}};
  QVector<GeneratedPair> out;
  int assigned = 0;
  for (int c = 0; c < 4; ++c) {
    const Class& cl = classes[c];
    const int count = c == 3 ? pairs - assigned : std::max(1, pairs * cl.share / 100);
    assigned += count;
    QSet<QString> synthetic;
    for (int i = 0; i < count; i += 10) {
      const QString code = generatedCode(cl.digit, i / 10);
      for (int level = 2; level <= 5; ++level) {
        const QString s = code.left(level).leftJustified(6, '0');
        if (synthetic.contains(s)) continue;
        synthetic.insert(s);
        insertAccount(db, year, s, "999", QStringLiteral("%1 GRUPO %2").arg(cl.name, s.left(level)),
                      "", cl.nature, QString::number(level));
      }
      for (int j = 0; j < 10 && i + j < count; ++j) {
        const QString cc = QStringLiteral("%1").arg(j + 1, 4, 10, QChar('0'));
        insertAccount(db, year, code, cc, QStringLiteral("%1 %2").arg(cl.name, code),
                      QStringLiteral("CONTA CORRENTE %1").arg(cc), cl.nature, "6");
        out.push_back({code, cc});
      }
    }
  }
  return out;
}

TypedDocument generatedDocument(SplitMix& rng, const QVector<GeneratedPair>& pairs,
                                const QDate& date, const QString& doc) {
  TypedDocument d{date, {}};
  const int k = 2 + rng.below(5);
  const int debits = 1 + rng.below(k - 1);
  const qint64 total = 10000 + rng.below(5000000); // 100,00 to 50.099,99
  auto split = [&](int parts, const QString& dc) {
    QVector<int> weights;
    int sum = 0;
    for (int i = 0; i < parts; ++i)
      sum += weights.emplace_back(1 + rng.below(100));
    qint64 left = total;
    for (int i = 0; i < parts; ++i) {
      const qint64 cents = i + 1 == parts ? left : total * weights[i] / sum;
      left -= cents;
      const GeneratedPair& p = pairs[rng.below(pairs.size())];
      d.entries.push_back({p.code, p.current, docNumber(1 + rng.below(8)).right(4), dc,
                           "DOCUMENTO GERADO " + doc, cents});
    }
  };
  split(debits, "D");
  split(k - debits, "C");
  return d;
}

} // namespace

QString createDataDirectory(const InitOptions& o) {
  Prepared p = prepareDirectory(o);
  fillDirectory(p, [&](BookSession& s) {
    Transaction tx(s.db());
    insertOrganization(s.db(), o, p, o.demo);
    if (o.demo) {
      insertDemoChart(s.db(), QString::number(p.year));
      insertGroups(s.db());
      insertDemoDocuments(s, p.year, o.demoYear);
      insertSpedSample(s.db(), p.year);
      // A year of processed documents is shown as the accountant would leave it: with the
      // synthetic accounts and the result account brought up to date.
      if (o.demoYear) {
        NoProgress quiet;
        const OperationResult r = syntheticUpdate(s.db(), QString::number(p.year), quiet);
        if (r.isRefused()) throw std::runtime_error(r.message().toStdString());
      }
    }
    tx.commit();
  });
  return p.dir.absolutePath();
}

GeneratedBook createGeneratedBook(const GeneratedBookOptions& g) {
  if (g.documents < 1 || g.documents > 99999)
    throw std::runtime_error("o número de documentos deve ir de 1 a 99999");
  if (g.accounts < 4 || g.accounts > 200000)
    throw std::runtime_error("o número de contas deve ir de 4 a 200000");
  Prepared p = prepareDirectory(g.init);
  GeneratedBook out;
  out.directory = p.dir.absolutePath();
  out.year = p.year;
  out.documents = g.documents;
  out.analyticPairs = g.accounts;
  fillDirectory(p, [&](BookSession& s) {
    const QString year = QString::number(p.year);
    QVector<GeneratedPair> pairs;
    {
      Transaction tx(s.db());
      insertOrganization(s.db(), g.init, p, true);
      insertDemoChart(s.db(), year);
      insertGroups(s.db());
      pairs = insertGeneratedChart(s.db(), year, g.accounts);
      insertSpedSample(s.db(), p.year);
      tx.commit();
    }
    SplitMix rng(g.seed);
    const QDate january(p.year, 1, 1);
    const int days = january.daysInYear();
    // Many documents per commit: a commit of several files costs more than a document.
    constexpr int perCommit = 500;
    for (int first = 0; first < g.documents; first += perCommit) {
      Transaction tx(s.db());
      QStringList docs;
      for (int i = first; i < std::min(g.documents, first + perCommit); ++i) {
        docs << docNumber(i + 1);
        const TypedDocument d = generatedDocument(
            rng, pairs, january.addDays(qint64(i) * days / g.documents), docs.last());
        s.save(docs.last(), d);
        out.entries += d.entries.size();
        if (g.progress && (i + 1) % 100 == 0 && i + 1 < g.documents) g.progress(i + 1, g.documents);
      }
      s.process(docs);
      tx.commit();
    }
    if (g.progress) g.progress(g.documents, g.documents);
  });
  return out;
}

} // namespace esc
