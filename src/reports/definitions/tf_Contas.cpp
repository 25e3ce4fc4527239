// The account listing: the dialog TF_SeLContas builds the query of TF_Contas. The layout is
// shared with the plan of accounts (TQRPlanoContas).
#include "tf_Contas.h"
#include "reports/engine/registry.h"

namespace esc::report {

std::shared_ptr<ReportDefinition> makeChartListing(ChartListing variant) {
  const bool plan = variant == ChartListing::Plan;
  auto d = std::make_shared<ReportDefinition>(plan ? "TQRPlanoContas" : "TF_Contas",
                                              "Escrivon - Listagem de Contas",
                                              PageSetup::letter(Orientation::Portrait));
  d->queryName = plan ? "QryPlContas" : "QryContas";

  Band& h = d->band(BandKind::ColumnHeader, plan ? 23.0 : 21.4);
  const double orgY = plan ? 2.1 : 0.8, orgPoints = plan ? 12 : 14;
  const double cnpjLabel = plan ? 127.0 : 114.3;
  // A name of forty capitals at 14 pt would run into "CNPJ:"; it is cut short of it instead.
  h.field(2.1, orgY, "NomeDaOrganizacao").bold(orgPoints).fixedWidth(cnpjLabel - 2.1 - 1.0);
  h.label(cnpjLabel, orgY, "CNPJ:").bold(orgPoints);
  h.field(plan ? 141.8 : 130.4, orgY, "CNPJDaOrganizacao").bold(orgPoints);
  if (plan)
    h.label(72.0, 8.5, "Plano de Contas").bold(18);
  else
    h.label(48.7, 7.7, "Listagem de Contas Contábeis").bold(18);

  const double captions = plan ? 17.2 : 16.1, captionPoints = plan ? 8 : 10;
  const double currentName = plan ? 104.5 : 107.2;
  h.label(2.1, captions, "Conta").bold(captionPoints);
  h.label(14.8, captions, "Nome da Conta Contábil").bold(captionPoints);
  h.label(80.4, captions, "Cta. Corrente").bold(captionPoints);
  h.label(currentName, captions, "Nome Conta Corrente Contábil").bold(captionPoints);
  h.label(163.8, captions, "Saldo").bold(captionPoints);
  h.label(174.4, captions, "Nível").bold(captionPoints);
  h.rule(2.1, plan ? 21.2 : 20.4, 181.0);

  Band& det = d->band(BandKind::Detail, plan ? 4.8 : 4.2);
  const double y = plan ? 0.8 : 0.3, points = plan ? 8 : 10;
  det.field(2.1, y, "CodigoContaContabil").size(points);
  det.field(14.8, y, "NomeContaContabil").size(points);
  det.field(80.4, y, "CodigoContaCorrente").size(points);
  det.field(currentName, y, "NomeContaCorrente").size(points);
  det.field(165.9, y, "TipoDeSaldo").size(points);
  det.field(176.5, y, "NivelDaConta").size(points);

  d->standardPageFooter(plan ? 6.3 : 10.6, "Página:", "Escrivon - ZNK", 160.9, 181.0);
  return d;
}

std::shared_ptr<ReportDefinition> makeContas() {
  return makeChartListing(ChartListing::Selection);
}

DialogForm seLContasForm() {
  DialogForm s;
  s.name = "TF_SeLContas";
  s.caption = "Listagem de Contas";
  s.fields = {
      DialogField::range("Contas Contábeis: De", "EdCCon", "EdCConAte")
          .named("conta-de", "conta-ate"),
      DialogField::single("Nome:", "EdCNomCon").named("nome-conta"),
      DialogField::range("Correntes: De", "EdCCor", "EdCCorAte")
          .named("corrente-de", "corrente-ate"),
      DialogField::single("Nome:", "EdCNomCor").named("nome-corrente"),
      DialogField::range("Níveis (1 A 6): De", "EdCNivel", "EdCNivelAte")
          .named("nivel-de", "nivel-ate"),
      DialogField::single("Tipo de Saldo (D/C):", "EdCTipoSaldo").named("tipo-saldo"),
  };
  s.choice = DialogChoice{"OrdemContas",
                          "Ordem de Apresentação",
                          {"Código Conta Contábil", "Código Conta Corrente", "Nome Conta Contábil",
                           "Nome Conta Corrente", "Tipo de Saldo", "Nível da Conta"},
                          2};
  s.videoButton = "ButCVideo";
  s.printerButton = "ButCImpressora";
  s.closeButton = "ButCCancelar";
  return s;
}

void buildContasQuery(QueryText& q, const ParamValues& v) {
  q.clear();
  // An organization without CNPJ lists nothing; every further piece can begin with " AND".
  q.add("SELECT * FROM contas,cabecalh WHERE cabecalh.cnpjdaorganizacao<>''");
  addRange(q, " AND contas.codigocontacontabil BETWEEN '", " AND contas.codigocontacontabil='",
           v.value("EdCCon"), v.value("EdCConAte"), true);
  addEquality(q, " AND contas.nomecontacontabil='", v.value("EdCNomCon"));
  addRange(q, " AND contas.codigocontacorrente BETWEEN '", " AND contas.codigocontacorrente='",
           v.value("EdCCor"), v.value("EdCCorAte"));
  addEquality(q, " AND contas.nomecontacorrente='", v.value("EdCNomCor"));
  addRange(q, " AND contas.niveldaconta BETWEEN '", " AND contas.niveldaconta='",
           v.value("EdCNivel"), v.value("EdCNivelAte"), true);
  addEquality(q, " AND contas.tipodesaldo='", v.value("EdCTipoSaldo"));

  static const QStringList orders = {
      " ORDER BY contas.codigocontacontabil", " ORDER BY contas.codigocontacorrente",
      " ORDER BY contas.nomecontacontabil",   " ORDER BY contas.nomecontacorrente",
      " ORDER BY contas.tipodesaldo",         " ORDER BY contas.niveldaconta"};
  const int item = seLContasForm().choice->items.indexOf(v.value("OrdemContas"));
  q.add(orders.value(item, orders.first()));
}

void registerContas(ReportRegistry& r) {
  ReportEntry e;
  e.id = "contas";
  e.button = "ButRCNome";
  e.description = "Listagem de Contas (TF_Contas)";
  e.dialog = seLContasForm();
  e.build = [](BuildContext&, const ParamValues& v) {
    auto d = makeContas();
    buildContasQuery(d->query, v);
    return Reports{d};
  };
  r.add(std::move(e));
}

} // namespace esc::report
