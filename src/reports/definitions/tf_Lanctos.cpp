// The entry listing: the dialog TF_SeLanctos builds the query of TQRLanctos. It reads the
// entries of every fiscal year.
#include "tf_Lanctos.h"
#include "reports/engine/registry.h"

namespace esc::report {

std::shared_ptr<ReportDefinition> makeLanctos() {
  auto d = std::make_shared<ReportDefinition>("TQRLanctos", "Escrivon - Listagem de Lançamentos",
                                              PageSetup::letter(Orientation::Landscape));
  d->queryName = "QryLanctos";

  Band& h = d->band(BandKind::ColumnHeader, 25.4);
  h.field(2.1, 2.1, "NomeDaOrganizacao").bold(14);
  h.label(179.9, 2.1, "CNPJ:").bold(14);
  h.field(197.1, 2.1, "CNPJDaOrganizacao").bold(14);
  h.label(80.7, 8.5, "Listagem de Lançamentos Contábeis").bold(18);
  const double captions = 19.6;
  h.label(2.1, captions, "Conta").bold(8);
  h.label(12.7, captions, "Nome da Conta Contábil").bold(8);
  h.label(55.0, captions, "Conta Corrente").bold(8);
  h.label(78.3, captions, "Nome Conta Corrente").bold(8);
  h.label(113.0, captions, "Data").bold(8);
  h.label(129.6, captions, "Hist.").bold(8);
  h.label(137.3, captions, "Nome Histórico").bold(8);
  h.label(181.5, captions, "Histórico Complementar").bold(8);
  h.label(218.0, captions, "Docto.").bold(8);
  h.label(233.9, captions, "Valor").bold(8);
  h.label(247.7, captions, "D/C").bold(8);
  h.rule(2.1, 24.1, 250.3);

  Band& det = d->band(BandKind::Detail, 5.0);
  const double y = 0.8;
  det.field(2.1, y, "CodigoContaContabil");
  det.field(12.7, y, "NomeContaContabil").fixedWidth(41.8);
  det.field(55.0, y, "CodigoContaCorrente");
  det.field(78.3, y, "NomeContaCorrente").fixedWidth(33.3);
  det.field(113.0, y, "DataDaContabilizacao").date();
  det.field(129.4, y, "CodigoHistorico");
  det.field(137.3, y, "nomehistorico").fixedWidth(43.7);
  det.field(181.2, y, "HistoricoComplementar").fixedWidth(35.2);
  det.field(218.0, y, "NumeroDocumento");
  det.field(0, y, "ValorLancamento").rightEdge(246.9).fixedWidth(20.4).amount();
  det.field(249.5, y, "TipoDeLancamento");

  // Signed like the other reports, the signature ending where the rule ends.
  d->standardPageFooter(6.3, "Página: ", "Escrivon-ZNK", 233.6, 250.6);
  return d;
}

DialogForm seLanctosForm() {
  DialogForm s;
  s.name = "TF_SeLanctos";
  s.caption = "Listagem de Lançamentos";
  DialogField state =
      DialogField::single("Situação dos Lançamentos", "EdSituacao").named("situacao");
  state.initial = "P";
  state.upperCase = true;
  state.hint = "P-Processados / N-Não Processados /    -Todos";
  DialogField dates =
      DialogField::range("Datas Lanctos:", "EdLData", "EdLDataAte").named("data-de", "data-ate");
  s.fields = {
      DialogField::range("Contas Contábeis: De", "EdLCon", "EdLConAte")
          .named("conta-de", "conta-ate"),
      DialogField::range("Correntes: De", "EdLCor", "EdLCorAte")
          .named("corrente-de", "corrente-ate"),
      DialogField::range("Históricos: De", "EdLHist", "EdLHistAte")
          .named("historico-de", "historico-ate"),
      DialogField::range("Documentos: De", "EdLDocto", "EdLDoctoAte")
          .named("documento-de", "documento-ate"),
      dates,
      state,
  };
  s.choice = DialogChoice{"OrdemLanctos",
                          "Ordem de Apresentação",
                          {"Contas Contábeis", "Contas Correntes", "Cód. Históricos",
                           "No. Documento", "Data Lançamento", "Valor Lançamento"},
                          2};
  s.videoButton = "ButLVideo";
  s.printerButton = "ButLImpressora";
  s.closeButton = "ButLCancelar";
  return s;
}

void buildLanctosQuery(QueryText& q, const ParamValues& v) {
  q.clear();
  // clang-format off
  q.add("SELECT lancamen.*,cabecalh.*,contas.nomecontacontabil,contas.nomecontacorrente,historic.nomehistorico FROM lancamen,cabecalh,contas,historic WHERE lancamen.codigocontacontabil=contas.codigocontacontabil AND lancamen.codigocontacorrente=contas.codigocontacorrente AND lancamen.codigohistorico=historic.codigohistorico");
  // clang-format on
  addRange(q, " AND lancamen.codigocontacontabil BETWEEN '", " AND lancamen.codigocontacontabil='",
           v.value("EdLCon"), v.value("EdLConAte"), true);
  addRange(q, " AND lancamen.codigocontacorrente BETWEEN '", " AND lancamen.codigocontacorrente='",
           v.value("EdLCor"), v.value("EdLCorAte"));
  addRange(q, " AND lancamen.codigohistorico BETWEEN '", " AND historic.codigohistorico='",
           v.value("EdLHist"), v.value("EdLHistAte"));
  addRange(q, " AND lancamen.numerodocumento BETWEEN '", " AND lancamen.numerodocumento='",
           v.value("EdLDocto"), v.value("EdLDoctoAte"));
  if (!addDateRange(q, " AND lancamen.datadacontabilizacao BETWEEN '",
                    " AND lancamen.datadacontabilizacao='", v.value("EdLData"),
                    v.value("EdLDataAte")))
    throw Refusal{invalidDataMessage};
  // A blank is a state like any other; only an empty field lists every state.
  addEquality(q, " AND lancamen.situacao='", v.value("EdSituacao"));

  static const QStringList orders = {
      " ORDER BY lancamen.codigocontacontabil",  " ORDER BY lancamen.codigocontacorrente",
      " ORDER BY lancamen.codigohistorico",      " ORDER BY lancamen.numerodocumento",
      " ORDER BY lancamen.datadacontabilizacao", " ORDER BY lancamen.valorlancamento"};
  const int item = seLanctosForm().choice->items.indexOf(v.value("OrdemLanctos"));
  q.add(orders.value(item, orders.first()));
}

void registerLanctos(ReportRegistry& r) {
  ReportEntry e;
  e.id = "lancamentos";
  e.button = "ButRLLista";
  e.description = "Listagem de Lançamentos (TQRLanctos)";
  e.dialog = seLanctosForm();
  e.build = [](BuildContext&, const ParamValues& v) {
    auto d = makeLanctos();
    buildLanctosQuery(d->query, v);
    return Reports{d};
  };
  r.add(std::move(e));
}

} // namespace esc::report
