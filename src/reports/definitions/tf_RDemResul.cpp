// The income statement TF_RDemResul, previewed at once by "Demonstração Resul&tado".
#include "tf_RDemResul.h"

namespace esc::report {

std::shared_ptr<ReportDefinition> makeRDemResul() {
  // The title's spelling is the one the preview window has always shown.
  auto d = std::make_shared<ReportDefinition>("TF_RDemResul", "Escrivon - Demonstração de Reultado",
                                              PageSetup::a4(Orientation::Portrait));
  d->queryName = "QryDemResul";
  d->query.add("SELECT DemResul.*, Cabecalh.NomeDaOrganizacao,");
  d->query.add("Cabecalh.CNPJDaOrganizacao FROM DemResul, Cabecalh ");
  d->query.add("ORDER BY DemResul.OrdemDoGrupo");

  Band& h = d->band(BandKind::ColumnHeader, 34.1);
  h.field(2.1, 2.1, "NomeDaOrganizacao").bold(14);
  h.label(2.1, 8.5, "CNPJ:").bold(14);
  h.field(17.7, 8.5, "CNPJDaOrganizacao").bold(14);
  h.label(2.1, 17.7, "Demonstração de Resultado").bold(18);
  h.label(97.4, 19.6, "Período:").bold(12);
  h.expression(116.4, 19.6, "Copy(QryDemResul.AnoEMes,5,2)+'/'+Copy(QryDemResul.AnoEMes,1,4)")
      .bold(12);
  h.label(2.1, 28.3, "+/-").size(10);
  h.label(16.9, 28.3, "Discriminação").size(10);
  h.label(99.5, 28.3, "Valor").size(10);
  h.label(127.0, 28.3, "Saldo").size(10);
  h.rule(1.6, 33.1, 136.3, 1.1);

  // A zero prints as a blank; a loss prints with its minus sign, so it is never mistaken for
  // a line without movement.
  Band& det = d->band(BandKind::Detail, 6.3);
  const double y = 2.1;
  det.field(2.1, y, "SinalDoGrupo").size(10);
  det.field(16.9, y, "NomeDoGrupo").size(10);
  det.expression(89.4, y, "IF(QryDemResul.SaldoDoGrupo<>0,QryDemResul.SaldoDoGrupo,' ')")
      .amount()
      .size(10);
  det.expression(0, y, "IF(QryDemResul.Acumulado<>0,QryDemResul.Acumulado,' ')")
      .rightEdge(137.9)
      .amount()
      .size(10);

  d->standardPageFooter(8.5, "Página: ", "Escrivon - ZNK", 116.9, 136.3, 2.1, 10);
  return d;
}

void registerRDemResul(ReportRegistry& r) {
  ReportEntry e;
  e.id = "demresultado";
  e.button = "ButRDemRes";
  e.description = "Demonstração de Resultado (TF_RDemResul)";
  e.build = [](BuildContext&, const ParamValues&) { return Reports{makeRDemResul()}; };
  r.add(std::move(e));
}

} // namespace esc::report
