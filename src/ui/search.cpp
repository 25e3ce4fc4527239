#include "search.h"

namespace esc {

DataSource* sourceOf(TDEscrivon& dm, SearchKind kind) {
  switch (kind) {
  case SearchKind::Contas:
    return dm.DsContas;
  case SearchKind::Historicos:
    return dm.DsHistoric;
  case SearchKind::Lancamentos:
    return dm.DsLancamen;
  case SearchKind::Balanco:
    return dm.DsBalanco;
  case SearchKind::DemResul:
    return dm.DsDemResul;
  }
  return nullptr;
}

bool runSearch(MainContext& ctx, SearchKind kind, DataSource* source, const QString& what) {
  switch (ctx.dm().ConfirmaCancelaEdicao(source, what, "Localizar")) {
  case TDEscrivon::Answer::No:
    return false;
  case TDEscrivon::Answer::Yes:
    source->table()->cancel();
    break;
  case TDEscrivon::Answer::NotEditing:
    break;
  }
  const QString item = ctx.orderItem(kind);
  const auto answer =
      ctx.ui().prompt("Pesquisar " + item, "Digite " + item + " (ou parte)", ctx.searchText(kind));
  if (!answer) return false;
  ctx.setSearchText(kind, *answer);
  try {
    source->table()->findNearest(*answer);
  } catch (const StoreError& e) {
    if (!e.silent()) ctx.ui().error(e.message());
    return false;
  }
  return true;
}

} // namespace esc
