#include "demobook.h"

#include "store/database.h"
#include "store/schema.h"
#include "store/storeerror.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

void insertDemo(Database& db, int year) {
  const QString y = QString::number(year);
  for (const Account& a : chart) {
    const QString code = a.code, cc = a.current, nature(QChar(a.nature));
    const QString level = QString::number(levelOf(code));
    db.exec("INSERT INTO contas VALUES (?, ?, ?, ?, ?, ?, ?)",
            {code + cc, code, QString::fromUtf8(a.name), cc, QString::fromUtf8(a.currentName),
             nature, level});
    for (int m = 1; m <= 12; ++m) {
      const QString period = y + QStringLiteral("%1").arg(m, 2, 10, QChar('0'));
      db.exec("INSERT INTO balanco (CodigoContaContabil, CodigoContaCorrente, Periodo, "
              "CodCtaConCodCtaCor, TipoSaldoAnterior, SaldoAnterior, ValorCredito, ValorDebito, "
              "SaldoAtual, TipoSaldoAtual, NaturezaDaConta, NivelDaConta) "
              "VALUES (?, ?, ?, ?, ?, 0.0, 0.0, 0.0, 0.0, ?, ?, ?)",
              {code, cc, period, period + code + cc, nature, nature, nature, level});
    }
  }
  for (const auto& d : descriptions)
    db.exec("INSERT INTO historic VALUES (?, ?)", {d[0], QString::fromUtf8(d[1])});
  db.exec("INSERT INTO demresul (OrdemDoGrupo, ContaInicial, ContaFinal, NomeDoGrupo, "
          "SinalDoGrupo, SaldoDoGrupo, AnoEMes, Acumulado) VALUES "
          "('01', '311111', '311112', 'RECEITA OPERACIONAL BRUTA', '+', 0, '', 0), "
          "('02', '411111', '411114', 'DESPESAS ADMINISTRATIVAS', '-', 0, '', 0), "
          "('03', '', '', 'RESULTADO DO EXERCÍCIO', '=', 0, '', 0)");
  // Two documents typed but not processed yet, so the journal pages have something to show.
  struct Entry {
    const char* doc;
    int month, day;
    const char *code, *cc, *hist, *dc, *compl_;
    double value;
  };
  const Entry entries[] = {
      {"00001", 1, 5, "111121", "0001", "0007", "D", "CAPITAL INICIAL", 50000.0},
      {"00001", 1, 5, "291111", "999", "0007", "C", "CAPITAL INICIAL", 50000.0},
      {"00002", 1, 20, "411114", "999", "0006", "D", "NF 1234 PAPELARIA CENTRAL", 345.67},
      {"00002", 1, 20, "211111", "0001", "0006", "C", "NF 1234 PAPELARIA CENTRAL", 345.67},
  };
  for (const Entry& e : entries) {
    const QString cc = e.cc;
    const QString key =
        y + e.code + cc.leftJustified(14, ' ') +
        QStringLiteral("%1%2").arg(e.month, 2, 10, QChar('0')).arg(e.day, 2, 10, QChar('0'));
    db.exec("INSERT INTO lancamen (AnoContasMesDia, DataDaContabilizacao, CodigoHistorico, "
            "CodigoContaContabil, CodigoContaCorrente, TipoDeLancamento, HistoricoComplementar, "
            "ValorLancamento, NumeroDocumento, Situacao, CodCtaConCodCtaCor) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 'N', ?)",
            {key, QDate(year, e.month, e.day).toString(Qt::ISODate), e.hist, e.code, cc, e.dc,
             e.compl_, e.value, e.doc, QString(e.code) + cc});
  }
}

} // namespace

QString createDataDirectory(const InitOptions& o) {
  if (o.directory.isEmpty()) throw std::runtime_error("nenhum diretório indicado");
  const QString encoded = encodePassword(o.password); // refuse before writing anything
  const int year = o.year ? o.year : QDate::currentDate().year();
  if (year < 1000 || year > 9999) throw std::runtime_error("o exercício deve ter quatro dígitos");
  if (o.cnpj.size() > 18) throw std::runtime_error("o CNPJ tem no máximo 18 caracteres");
  if (o.organization.size() > 40)
    throw std::runtime_error("o nome da organização tem no máximo 40 caracteres");
  QDir dir(o.directory);
  for (const TableDef& t : allTables())
    if (QFileInfo::exists(dir.filePath(t.fileName)))
      throw std::runtime_error(
          QStringLiteral("o diretório %1 já contém a tabela %2; nada foi alterado")
              .arg(dir.absolutePath(), t.fileName)
              .toStdString());
  if (!dir.exists() && !QDir().mkpath(dir.absolutePath()))
    throw std::runtime_error(QStringLiteral("não foi possível criar o diretório %1")
                                 .arg(dir.absolutePath())
                                 .toStdString());
  QStringList created;
  try {
    for (const TableDef& t : allTables()) {
      Database::createTableFile(dir.absolutePath(), t.fileName, t.createSql());
      created << dir.filePath(t.fileName);
    }
    Database db;
    db.openDirectory(dir.absolutePath());
    for (const TableDef& t : allTables()) {
      QStringList cols;
      for (const FieldDef& f : t.fields)
        cols << f.name;
      db.attach("f_" + t.sqlName, t.fileName, t.sqlName, cols);
    }
    Transaction tx(db);
    db.exec("INSERT INTO cabecalh (NomeDaOrganizacao, CNPJDaOrganizacao, EnderecoDaOrganizacao, "
            "NomeDoContador, CargoDoContador, ResponsavelOrganizacao, CargoDoResponsavel, "
            "SenhaDeEntrada, PaginaInicial, PaginaFinal, Livro, Registro, LocalData) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {o.organization, o.cnpj,
             o.demo ? QStringLiteral("RUA DAS FLORES, 123 - CENTRO - SÃO PAULO/SP") : QString(),
             o.demo ? QStringLiteral("JOSÉ DA SILVA") : QString(),
             o.demo ? QStringLiteral("CONTADOR CRC 1SP123456/O-7") : QString(),
             o.demo ? QStringLiteral("MARIA DE SOUZA") : QString(),
             o.demo ? QStringLiteral("DIRETORA PRESIDENTE") : QString(), encoded, 1, 100, 1,
             o.demo ? QStringLiteral("JUCESP 3520012345-6") : QString(),
             o.demo ? QStringLiteral("SÃO PAULO") : QString()});
    db.exec("INSERT INTO fechamen VALUES (?, '')", {QString::number(year)});
    if (o.demo) insertDemo(db, year);
    tx.commit();
  } catch (const StoreError& e) {
    for (const QString& f : created)
      QFile::remove(f);
    throw std::runtime_error(e.message().toStdString());
  }
  return dir.absolutePath();
}

} // namespace esc
