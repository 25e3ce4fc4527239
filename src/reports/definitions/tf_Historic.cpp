// The standard-description listing: the dialog TF_SelHist builds the query of TF_Historic.
#include "tf_Historic.h"
#include "reports/engine/registry.h"

namespace esc::report {

std::shared_ptr<ReportDefinition> makeHistoric() {
  auto d = std::make_shared<ReportDefinition>("TF_Historic", "Escrivon - Listagem de Históricos",
                                              PageSetup::letter(Orientation::Portrait));
  d->queryName = "QryHistoric";

  Band& h = d->band(BandKind::ColumnHeader, 27.0);
  h.field(2.1, 0.5, "NomeDaOrganizacao").bold(14);
  h.label(2.1, 6.9, "CNPJ:").bold(14);
  h.field(18.8, 6.9, "CNPJDaOrganizacao").bold(14);
  h.label(17.5, 13.0, " Listagem de Históricos").bold(18);
  h.label(2.1, 21.2, "Código").bold(10);
  h.label(27.5, 21.2, "Nome do Histórico").bold(10);
  h.rule(2.1, 25.7, 106.1);

  Band& det = d->band(BandKind::Detail, 6.3);
  det.field(2.1, 2.1, "CodigoHistorico").size(10);
  det.field(27.5, 2.1, "NomeHistorico").size(10);

  d->standardPageFooter(6.3, "Página:", "Escrivon-ZNK", 88.9, 106.1);
  return d;
}

DialogForm selHistForm() {
  DialogForm s;
  s.name = "TF_SelHist";
  s.caption = "Listagens de Históricos";
  s.fields = {DialogField::range("Históricos: De", "EdHist", "EdHistAte")
                  .named("historico-de", "historico-ate"),
              DialogField::single("Nome:", "EdNomHist").named("nome")};
  s.choice = DialogChoice{
      "OrdemHistoric", "Ordem de apresentação", {"&Código do Histórico", "&Nome do Histórico"}, 2};
  s.videoButton = "ButRHVideo";
  s.printerButton = "ButRHImpressora";
  s.closeButton = "ButRHCancelar";
  return s;
}

void buildHistoricQuery(QueryText& q, const ParamValues& v) {
  q.clear();
  // An organization without CNPJ lists nothing; every further piece can begin with " AND".
  q.add("SELECT * FROM cabecalh,historic WHERE cabecalh.cnpjdaorganizacao<>''");
  addRange(q, " AND historic.codigohistorico BETWEEN '", " AND historic.codigohistorico='",
           v.value("EdHist"), v.value("EdHistAte"), true);
  addEquality(q, " AND historic.nomehistorico='", v.value("EdNomHist"));
  const int item = selHistForm().choice->items.indexOf(v.value("OrdemHistoric"));
  q.add(item == 1 ? " ORDER BY historic.nomehistorico" : " ORDER BY historic.codigohistorico");
}

void registerHistoric(ReportRegistry& r) {
  ReportEntry e;
  e.id = "historicos";
  e.button = "ButRHistoric";
  e.description = "Listagem de Históricos (TF_Historic)";
  e.dialog = selHistForm();
  e.build = [](BuildContext&, const ParamValues& v) {
    auto d = makeHistoric();
    buildHistoricQuery(d->query, v);
    return Reports{d};
  };
  r.add(std::move(e));
}

} // namespace esc::report
