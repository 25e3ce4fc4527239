// The trial balance: the dialog TF_SelBalan builds the query of TF_Balanco.
#include "tf_Balanco.h"

#include "reports/engine/balanceParts.h"
#include "reports/engine/registry.h"

namespace esc::report {

std::shared_ptr<ReportDefinition> makeBalanco() {
  auto d = std::make_shared<ReportDefinition>("TF_Balanco", "Escrivon - Balancete de Contas",
                                              PageSetup::letter(Orientation::Landscape));
  d->queryName = "QryBalanco";

  Band& h = d->band(BandKind::ColumnHeader, 25.7);
  h.field(2.1, 2.1, "NomeDaOrganizacao").bold(14);
  h.label(156.6, 2.1, "CNPJ:").bold(14);
  h.field(174.9, 2.1, "CNPJDaOrganizacao").bold(14);
  h.label(97.4, 10.6, "Balancete Contábil").bold(18);
  h.label(179.1, 12.7, "Período:");
  h.expression(193.9, 12.7, "Copy(QryBalanco.Periodo,5,2)+'/'+Copy(QryBalanco.Periodo,1,4)");
  const double captions = 19.1;
  h.label(2.1, captions, "Conta").bold(8);
  h.label(12.7, captions, "Nome da Conta Contábil").bold(8);
  h.label(65.6, captions, "Conta Corrente").bold(8);
  h.label(90.0, captions, "Nome Conta Corrente Contábil").bold(8);
  balanceCaptions(h, captions, {135.5, 158.0, 169.3, 194.7, 224.1, 241.3});
  h.rule(1.1, 23.5, 246.9);

  Band& det = d->band(BandKind::Detail, 6.3);
  const double y = 0.8;
  det.field(0.0, y, "CodigoContaContabil");
  det.field(12.7, y, "nomecontacontabil");
  det.field(65.6, y, "CodigoContaCorrente");
  det.field(90.0, y, "nomecontacorrente");
  balanceFields(det, y, {156.1, 159.0, 188.7, 216.1, 240.7, 242.6});

  // The plain sums of the printed rows' signed values, whatever their D/C letters.
  Band& s = d->band(BandKind::Summary, 19.1);
  balanceTotals(s, 2.1, d->queryName, {156.7, 188.4, 216.2, 241.1});
  signatureBlock(s, 11.6);

  d->standardPageFooter(6.9, "Página: ", "Escrivon-ZNK", 227.3, 246.9);
  return d;
}

DialogForm selBalanForm() {
  DialogForm s;
  s.name = "TF_SelBalan";
  s.caption = "Balancete Contábil";
  s.fields = {
      DialogField::range("Contas Contábeis: De", "EdBCon", "EdBConAte")
          .named("conta-de", "conta-ate"),
      DialogField::range("Correntes: De", "EdBCor", "EdBCorAte")
          .named("corrente-de", "corrente-ate"),
      DialogField::range("Nível da Conta: De", "EdBNivel", "EdBNivelAte")
          .named("nivel-de", "nivel-ate"),
      DialogField::single("Natureza da Conta: (C/D)", "EdBNatureza").named("natureza"),
      DialogField::range("Período (AAAAMM):", "EdBPeriodo", "EdBPeriodoAte", 6)
          .named("periodo", "ate"),
  };
  s.checks = {{"SaldoZero", "Listar contas com saldo zero", false, "saldo-zero"}};
  s.videoButton = "ButBVideo";
  s.printerButton = "ButBImpressora";
  s.closeButton = "ButCCancelar";
  return s;
}

void buildBalancoQuery(QueryText& q, const ParamValues& v) {
  q.clear();
  // clang-format off
  q.add("SELECT balanco.*, cabecalh.*, contas.nomecontacontabil,contas.nomecontacorrente FROM balanco,cabecalh,contas WHERE balanco.codigocontacontabil=contas.codigocontacontabil AND balanco.codigocontacorrente=contas.codigocontacorrente ");
  // clang-format on
  if (v.value("SaldoZero") != "1") q.add(" AND balanco.saldoatual<>0 ");
  addRange(q, " AND balanco.codigocontacontabil BETWEEN '", " AND balanco.codigocontacontabil='",
           v.value("EdBCon"), v.value("EdBConAte"), true);
  addRange(q, " AND balanco.codigocontacorrente BETWEEN '", " AND balanco.codigocontacorrente='",
           v.value("EdBCor"), v.value("EdBCorAte"));
  addRange(q, " AND balanco.niveldaconta BETWEEN '", " AND balanco.niveldaconta='",
           v.value("EdBNivel"), v.value("EdBNivelAte"));
  addEquality(q, " AND balanco.naturezadaconta='", v.value("EdBNatureza"));
  addRange(q, " AND balanco.periodo BETWEEN '", " AND balanco.periodo='", v.value("EdBPeriodo"),
           v.value("EdBPeriodoAte"), true);
  q.add(" ORDER BY codctaconcodctacor");
}

void registerBalanco(ReportRegistry& r) {
  ReportEntry e;
  e.id = "balancete";
  e.button = "ButRBContas";
  e.description = "Balancete Contábil (TF_Balanco)";
  e.dialog = selBalanForm();
  e.build = [](BuildContext&, const ParamValues& v) {
    auto d = makeBalanco();
    buildBalancoQuery(d->query, v);
    return Reports{d};
  };
  r.add(std::move(e));
}

} // namespace esc::report
