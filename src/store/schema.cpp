#include "schema.h"

#include "storeerror.h"

namespace esc {

namespace {

FieldDef text(const QString& name, int width, bool required = false, const QString& pattern = {},
              const QString& label = {}) {
  return FieldDef{name, FieldType::Text, width, required, pattern, label, {}};
}
FieldDef amount(const QString& name, bool required = false, const QString& label = {}) {
  return FieldDef{name, FieldType::Float, 0, required, {}, label, QStringLiteral(",#0.00")};
}
IndexDef ci(const QString& name, const QStringList& fields) {
  return {name, fields, true, false};
}
IndexDef cs(const QString& name, const QStringList& fields) {
  return {name, fields, false, false};
}
IndexDef primary(const QStringList& fields) {
  return {QString(), fields, false, true};
}

TableDef contas() {
  TableDef t;
  t.component = "TbContas";
  t.fileName = "CONTAS.db";
  t.sqlName = "contas";
  t.fields = {text("CodCtaConCodCtaCor", 20, false, {}, {}),
              text("CodigoContaContabil", 6, true, "######", "Conta"),
              text("NomeContaContabil", 30, true, {}, "Nome da Conta Contábil"),
              text("CodigoContaCorrente", 14, true, "##############", "Cta Corrente"),
              text("NomeContaCorrente", 30, false, {}, "Nome da Conta Corrente Contábil"),
              text("TipoDeSaldo", 1, true, {}, "D/C"),
              text("NivelDaConta", 1, true, "#", "Nível")};
  t.primary = primary({"CodCtaConCodCtaCor", "CodigoContaContabil", "NomeContaContabil",
                       "CodigoContaCorrente", "NomeContaCorrente"});
  t.primary.unique = false; // uniqueness is the account pair, below
  t.uniquePair = {"CodigoContaContabil", "CodigoContaCorrente"};
  t.indexes = {ci("SI_CodCtaCon", {"CodigoContaContabil", "CodigoContaCorrente"}),
               ci("SI_CodCtaCor", {"CodigoContaCorrente"}),
               ci("SI_NomCtaCon", {"NomeContaContabil"}),
               ci("SI_NomCtaCor", {"NomeContaCorrente"})};
  return t;
}

TableDef historic() {
  TableDef t;
  t.component = "TbHistoric";
  t.fileName = "HISTORIC.db";
  t.sqlName = "historic";
  t.fields = {text("CodigoHistorico", 4, true, "9999", "Código do Histórico"),
              text("NomeHistorico", 40, true, {}, "Nome do Histórico")};
  t.primary = primary({"CodigoHistorico"});
  t.indexes = {cs("SI_NomeHistorico", {"NomeHistorico"})};
  return t;
}

TableDef lancamen() {
  TableDef t;
  t.component = "TbLancamen";
  t.fileName = "LANCAMEN.db";
  t.sqlName = "lancamen";
  t.fields = {
      text("AnoContasMesDia", 28),
      FieldDef{"Ordem", FieldType::AutoInc, 0, false, {}, {}, {}},
      FieldDef{"DataDaContabilizacao", FieldType::Date, 0, true, "99/99/99", "Data", {}},
      text("CodigoHistorico", 4, true, "####", "Hist."),
      text("CodigoContaContabil", 6, true, "######", "Cód. Conta"),
      text("CodigoContaCorrente", 14, true, "##############", "Cta. Corrente"),
      text("TipoDeLancamento", 1, true, ">A;0;_", "D/C"),
      text("HistoricoComplementar", 40, false, ">C" + QString(39, 'c'), "Histórico Complementar"),
      amount("ValorLancamento", true, "Valor"),
      text("NumeroDocumento", 5, true, "#####", "Documento"),
      text("Situacao", 1, false, {}, "Sit."),
      amount("SaldoAtual", false, "Saldo Atual"),
      text("TipoSaldoAtual", 1, false, {}, "D/C"),
      text("CodCtaConCodCtaCor", 20)};
  // Ordem is the row id, so the primary order's last field comes for free.
  t.primary = primary({"AnoContasMesDia", "Ordem"});
  t.indexes = {
      ci("SI_AnoContasMesDia", {"AnoContasMesDia", "NumeroDocumento"}),
      ci("SI_CodCtaCon", {"CodigoContaContabil", "CodigoContaCorrente", "DataDaContabilizacao"}),
      ci("SI_CodCtaCor", {"CodigoContaCorrente"}),
      ci("SI_CodigoHistorico", {"CodigoHistorico"}),
      ci("SI_DataDaContabilizacao", {"DataDaContabilizacao"}),
      ci("SI_NumeroDocumento", {"NumeroDocumento"}),
      ci("SI_CodCtaConCodCtaCor", {"CodCtaConCodCtaCor"})};
  t.lookups = {{"NomeContaContabil", 40, "Nome da Conta Contábil", "CodigoContaContabil",
                "TbContas", "CodigoContaContabil", "NomeContaContabil"},
               {"ContaContabil", 6, "Conta", "CodigoContaContabil", "TbContas",
                "CodigoContaContabil", "CodigoContaContabil"},
               {"NomeContaCorrente", 40, "Código da Conta Corrente Contábil", "CodigoContaCorrente",
                "TbContas", "CodigoContaCorrente", "CodCtaConCodCtaCor"},
               {"ContaCorrente", 14, "Conta Corrente", "CodigoContaCorrente", "TbContas",
                "CodigoContaCorrente", "CodigoContaCorrente"},
               {"NomeHistorico", 40, "Nome do Histórico", "CodigoHistorico", "TbHistoric",
                "CodigoHistorico", "NomeHistorico"},
               {"CodHistorico", 4, "Hist.", "CodigoHistorico", "TbHistoric", "CodigoHistorico",
                "CodigoHistorico"}};
  return t;
}

TableDef balanco() {
  TableDef t;
  t.component = "TbBalanco";
  t.fileName = "BALANCO.db";
  t.sqlName = "balanco";
  t.fields = {text("CodigoContaContabil", 6, false, "999999", "Cód. Conta"),
              text("CodigoContaCorrente", 14, false, "99999999999999", "Cód. Cta. Corrente"),
              text("Periodo", 6, false, "999999", "Período"),
              text("CodCtaConCodCtaCor", 26, false, {}, "Chave de Busca"),
              text("TipoSaldoAnterior", 1, false, {}, "D/C"),
              amount("SaldoAnterior", false, "Saldo Anterior"),
              amount("ValorCredito", false, "Valor Créditos"),
              amount("ValorDebito", false, "Valor Débitos"),
              amount("SaldoAtual", false, "Saldo Atual"),
              text("TipoSaldoAtual", 1, false, {}, "D/C"),
              text("NaturezaDaConta", 1),
              text("NivelDaConta", 1)};
  t.primary = primary({"CodCtaConCodCtaCor"});
  t.indexes = {ci("SI_CodCtaCon", {"CodigoContaContabil", "CodigoContaCorrente"}),
               ci("SI_CodCtaCor", {"CodigoContaCorrente"}),
               ci("SI_Periodo", {"CodCtaConCodCtaCor"})};
  // A period's rows, counted and walked in key order by one index range.
  t.supportIndexes = {cs("periodo", {"Periodo", "CodCtaConCodCtaCor"})};
  return t;
}

TableDef balpatri() {
  TableDef t;
  t.component = "TbBalPatri";
  t.fileName = "BALPATRI.db";
  t.sqlName = "balpatri";
  t.fields = {text("CodigoContaContabil", 6, false, {}, "Conta"),
              FieldDef{"Ordem", FieldType::Integer, 0, false, {}, {}, {}},
              text("TipoSaldoAnterior", 1, false, {}, "D/C"),
              amount("SaldoAnterior", false, "Saldo Anterior"),
              amount("ValorCredito", false, "Valor Credito"),
              amount("ValorDebito", false, "Valor Debito"),
              amount("SaldoAtual", false, "Saldo Atual"),
              text("TipoSaldoAtual", 1, false, {}, "D/C"),
              text("NaturezaDaConta", 1),
              text("NivelDaConta", 1),
              text("Periodo", 4)};
  t.primary = primary({"CodigoContaContabil"});
  return t;
}

TableDef demresul() {
  TableDef t;
  t.component = "TbDemResul";
  t.fileName = "DEMRESUL.db";
  t.sqlName = "demresul";
  t.fields = {text("OrdemDoGrupo", 2, false, {}, "Ordem"),
              text("ContaInicial", 6, false, {}, "Cta.Inicial"),
              text("ContaFinal", 6, false, {}, "Cta.Final"),
              text("NomeDoGrupo", 30, false, {}, "Nome do Grupo"),
              text("SinalDoGrupo", 1, false, {}, "+/-"),
              amount("SaldoDoGrupo", false, "Saldo Atual"),
              text("AnoEMes", 6, false, {}, "Ano/Mês"),
              amount("Acumulado")};
  t.primary = primary({"OrdemDoGrupo"});
  t.indexes = {cs("SI_CtaIniCtaFin", {"ContaInicial", "ContaFinal"}),
               cs("SI_NomeGrupo", {"NomeDoGrupo"})};
  return t;
}

TableDef fechamen() {
  TableDef t;
  t.component = "TbFechamen";
  t.fileName = "FECHAMEN.db";
  t.sqlName = "fechamen";
  t.fields = {text("Exercicio", 4), text("Situacao", 1)};
  t.primary = primary({"Exercicio"});
  return t;
}

TableDef cabecalh() {
  TableDef t;
  t.component = "TbCabecalh";
  t.fileName = "CABECALH.db";
  t.sqlName = "cabecalh";
  t.fields = {text("NomeDaOrganizacao", 40),
              text("CNPJDaOrganizacao", 18, false, "99.999.999/9999-99"),
              text("EnderecoDaOrganizacao", 40),
              text("NomeDoContador", 40),
              text("CargoDoContador", 40),
              text("ResponsavelOrganizacao", 40),
              text("CargoDoResponsavel", 40),
              text("SenhaDeEntrada", 24),
              text("DiretorioDeOrigem", 40),
              text("DiretorioDeDestino", 30),
              FieldDef{"PaginaInicial", FieldType::Integer, 0, false, {}, {}, {}},
              FieldDef{"PaginaFinal", FieldType::Integer, 0, false, {}, {}, {}},
              FieldDef{"Livro", FieldType::Integer, 0, false, {}, {}, {}},
              text("Registro", 40),
              text("LocalData", 40)};
  return t;
}

QString columnSql(const FieldDef& f) {
  switch (f.type) {
  case FieldType::Text:
    return QStringLiteral("\"%1\" TEXT NOT NULL DEFAULT ''").arg(f.name);
  case FieldType::Float:
    return QStringLiteral("\"%1\" REAL").arg(f.name);
  case FieldType::Date: // ISO text; a blank date is '' like a blank text, never NULL
    return QStringLiteral("\"%1\" TEXT NOT NULL DEFAULT ''").arg(f.name);
  case FieldType::AutoInc:
    return QStringLiteral("\"%1\" INTEGER PRIMARY KEY AUTOINCREMENT").arg(f.name);
  case FieldType::Integer:
    return QStringLiteral("\"%1\" INTEGER").arg(f.name);
  }
  return {};
}

QString indexColumns(const TableDef& t, const IndexDef& idx) {
  QStringList cols;
  for (const QString& f : idx.fields) {
    if (t.field(f).type == FieldType::AutoInc) continue; // the row id orders every index
    cols << columnExpression(t.field(f), idx.ignoreCase);
  }
  return cols.join(", ");
}

} // namespace

int TableDef::fieldIndex(const QString& name) const {
  for (int i = 0; i < fields.size(); ++i)
    if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

const FieldDef& TableDef::field(const QString& name) const {
  int i = fieldIndex(name);
  if (i < 0) throw StoreError(QStringLiteral("Field '%1' not found.").arg(name));
  return fields[i];
}

const IndexDef* TableDef::index(const QString& name) const {
  if (name.isEmpty()) return &primary;
  for (const IndexDef& i : indexes)
    if (i.name.compare(name, Qt::CaseInsensitive) == 0) return &i;
  return nullptr;
}

const LookupDef* TableDef::lookup(const QString& name) const {
  for (const LookupDef& l : lookups)
    if (l.name.compare(name, Qt::CaseInsensitive) == 0) return &l;
  return nullptr;
}

QString TableDef::createSql() const {
  QStringList cols;
  for (const FieldDef& f : fields)
    cols << columnSql(f);
  QString sql = QStringLiteral("CREATE TABLE \"%1\" (%2);\n").arg(sqlName, cols.join(", "));
  const QString pk = indexColumns(*this, primary);
  // A primary order ending in the row id is unique by construction.
  bool viaRowId = false;
  for (const QString& f : primary.fields)
    viaRowId |= field(f).type == FieldType::AutoInc;
  if (!pk.isEmpty())
    sql += QStringLiteral("CREATE %1INDEX \"%2_pk\" ON \"%2\" (%3);\n")
               .arg(primary.unique && !viaRowId ? "UNIQUE " : "", sqlName, pk);
  if (!uniquePair.isEmpty()) {
    QStringList quoted;
    for (const QString& f : uniquePair)
      quoted << '"' + f + '"';
    sql += QStringLiteral("CREATE UNIQUE INDEX \"%1_pair\" ON \"%1\" (%2);\n")
               .arg(sqlName, quoted.join(", "));
  }
  for (const IndexDef& idx : indexes)
    sql += QStringLiteral("CREATE INDEX \"%1_%2\" ON \"%1\" (%3);\n")
               .arg(sqlName, idx.name, indexColumns(*this, idx));
  for (const IndexDef& idx : supportIndexes)
    sql += supportIndexSql(*this, idx) + ";\n";
  return sql;
}

QString columnExpression(const FieldDef& field, bool ignoreCase) {
  if (field.type == FieldType::AutoInc) return QStringLiteral("rowid");
  return ignoreCase ? QStringLiteral("\"%1\" COLLATE ESCI").arg(field.name)
                    : QStringLiteral("\"%1\"").arg(field.name);
}

QString supportIndexSql(const TableDef& table, const IndexDef& index, const QString& schema) {
  return QStringLiteral("CREATE INDEX IF NOT EXISTS %1\"%2_%3\" ON \"%2\" (%4)")
      .arg(schema.isEmpty() ? QString() : '"' + schema + "\".", table.sqlName, index.name,
           indexColumns(table, index));
}

const QVector<TableDef>& allTables() {
  static const QVector<TableDef> tables = {contas(),   historic(), lancamen(), balanco(),
                                           balpatri(), demresul(), fechamen(), cabecalh()};
  return tables;
}

const TableDef& tableDef(const QString& component) {
  for (const TableDef& t : allTables())
    if (t.component.compare(component, Qt::CaseInsensitive) == 0) return t;
  throw StoreError(QStringLiteral("Table '%1' not found.").arg(component));
}

} // namespace esc
