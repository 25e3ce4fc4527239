// The plan of accounts: the whole chart, previewed at once without a dialog.
#include "tf_PlanoContas.h"
#include "reports/engine/registry.h"
#include "tf_Contas.h"

namespace esc::report {

std::shared_ptr<ReportDefinition> makePlanoContas() {
  auto d = makeChartListing(ChartListing::Plan);
  d->query.add("SELECT * FROM CONTAS, CABECALH");
  // The chart's key order, so the plan reads as the chart is built: account, current account.
  d->query.add(" ORDER BY CONTAS.CODIGOCONTACONTABIL, CONTAS.CODIGOCONTACORRENTE");
  return d;
}

void registerPlanoContas(ReportRegistry& r) {
  ReportEntry e;
  e.id = "plano";
  e.button = "ButRCPlano";
  e.description = "Plano de Contas (TQRPlanoContas)";
  e.build = [](BuildContext&, const ParamValues&) { return Reports{makePlanoContas()}; };
  r.add(std::move(e));
}

} // namespace esc::report
