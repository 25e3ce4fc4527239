// The balance sheet TF_BalPatri, previewed at once by "Balanç&o Patrimonial".
#include "tf_BalPatri.h"

#include "reports/engine/balanceParts.h"

namespace esc::report {

std::shared_ptr<ReportDefinition> makeBalPatri() {
  auto d = std::make_shared<ReportDefinition>("TF_BalPatri", "Escrivon - Balanço Patrimonial",
                                              PageSetup::letter(Orientation::Portrait));
  d->queryName = "QryBalPatri";
  d->query.add("SELECT balpatri.*, cabecalh.*, contas.nomecontacontabil, ");
  d->query.add("contas.nomecontacorrente FROM balpatri, cabecalh, contas WHERE ");
  d->query.add("balpatri.codigocontacontabil= contas.codigocontacontabil ");
  // The chart holds one row per current account of an account code: matched on the code
  // alone, a balance-sheet row would come out once for each of them and count as many
  // times in the totals. Grouped on its key it prints once, named from one of those rows.
  d->query.add("GROUP BY balpatri.codigocontacontabil ");
  d->query.add("ORDER BY balpatri.codigocontacontabil");

  Band& h = d->band(BandKind::ColumnHeader, 25.7);
  h.field(2.1, 2.1, "NomeDaOrganizacao").bold(14);
  h.field(2.1, 10.6, "CNPJDaOrganizacao").size(10);
  h.label(65.6, 10.6, "Balanço Patrimonial").bold(18);
  h.label(158.0, 12.7, "Exercício");
  h.expression(170.7, 12.7, "QryBalPatri.Periodo");
  const double captions = 19.1;
  h.label(2.1, captions, "Conta").bold(8);
  h.label(12.7, captions, "Nome da Conta Contábil").bold(8);
  balanceCaptions(h, captions, {67.7, 90.2, 101.6, 127.0, 156.4, 173.6});
  h.rule(1.1, 23.5, 177.3);

  Band& det = d->band(BandKind::Detail, 6.3);
  const double y = 0.8;
  det.field(0.0, y, "CodigoContaContabil");
  det.field(12.7, y, "nomecontacontabil");
  balanceFields(det, y, {88.3, 91.3, 120.9, 148.4, 173.0, 174.9});

  // The plain sums of the printed rows, whatever their level and D/C letter.
  Band& s = d->band(BandKind::Summary, 19.1);
  balanceTotals(s, 2.1, d->queryName, {88.9, 120.7, 148.5, 173.3});
  signatureBlock(s, 11.6);

  d->standardPageFooter(6.9, "Página: ", "Escrivon-ZNK", 159.5, 177.3);
  return d;
}

void registerBalPatri(ReportRegistry& r) {
  ReportEntry e;
  e.id = "balpatrimonial";
  e.button = "ButRBalPatri";
  e.description = "Balanço Patrimonial (TF_BalPatri)";
  e.build = [](BuildContext&, const ParamValues&) { return Reports{makeBalPatri()}; };
  r.add(std::move(e));
}

} // namespace esc::report
