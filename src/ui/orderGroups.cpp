#include "orderGroups.h"

namespace esc {

namespace {

std::function<QString(Table&)> valueOf(const QString& field) {
  return [field](Table& t) { return t.field(field).asString(); };
}

} // namespace

const QVector<OrderGroup>& orderGroups() {
  static const QVector<OrderGroup> groups = {
      {"IndicesContas",
       "Contas",
       SearchKind::Contas,
       &TDEscrivon::TbContas,
       {{"Cód. Cta. Contábil", "", valueOf("CodigoContaContabil")},
        {"Cód. Cta. Corrente", "SI_CodCtaCor", valueOf("CodigoContaCorrente")},
        {"Nome Cta. Contábil", "SI_NomCtaCon", valueOf("NomeContaContabil")},
        {"Nome Cta. Corrente", "SI_NomCtaCor", valueOf("NomeContaCorrente")}}},
      {"IndicesHistoric",
       "Históricos",
       SearchKind::Historicos,
       &TDEscrivon::TbHistoric,
       {{"Código do Histórico", "", valueOf("CodigoHistorico")},
        {"Nome do Histórico", "SI_NomeHistorico", valueOf("NomeHistorico")}}},
      {"IndicesLanctos",
       "Lançamentos",
       SearchKind::Lancamentos,
       &TDEscrivon::TbLancamen,
       {{"Exercício + Códigos Contas", "SI_AnoContasMesDia", valueOf("AnoContasMesDia")},
        {"Códigos da Conta Contábil", "SI_CodCtaCon",
         [](Table& t) {
           return t.field("CodigoContaContabil").asString() +
                  t.field("CodigoContaCorrente").asString();
         }},
        {"Código da Conta Corrente", "SI_CodCtaCor", valueOf("CodigoContaCorrente")},
        {"Código do Histórico Padrão", "SI_CodigoHistorico", valueOf("CodigoHistorico")},
        // The date as the search prompt expects it typed: the short date form.
        {"Data da Contabilização", "SI_DataDaContabilizacao",
         [](Table& t) { return t.field("DataDaContabilizacao").editText(); }},
        {"Número do Documento", "SI_NumeroDocumento", valueOf("NumeroDocumento")},
        {"Códigos das Contas", "SI_CodCtaConCodCtaCor", valueOf("CodCtaConCodCtaCor")}}},
      {"IndicesBalanco",
       "Balanço",
       SearchKind::Balanco,
       &TDEscrivon::TbBalanco,
       {{"Ano + Mês + Códigos Contas", "SI_Periodo", valueOf("CodCtaConCodCtaCor")},
        {"Código da Conta Contábil", "SI_CodCtaCon", valueOf("CodigoContaContabil")},
        {"Código da Conta Corrente", "SI_CodCtaCor", valueOf("CodigoContaCorrente")}}},
      {"IndicesDemResul",
       "Dem. Resultado",
       SearchKind::DemResul,
       &TDEscrivon::TbDemResul,
       {{"Ordem do Grupo", "", valueOf("OrdemDoGrupo")},
        {"Nome do Grupo", "SI_NomeGrupo", valueOf("NomeDoGrupo")},
        {"Conta Inicial", "SI_CtaIniCtaFin", valueOf("ContaInicial")}}},
  };
  return groups;
}

QString firstOrderItem(SearchKind kind) {
  for (const OrderGroup& g : orderGroups())
    if (g.kind == kind) return g.choices.first().item;
  return {};
}

} // namespace esc
