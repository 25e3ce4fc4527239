#include "mainContext.h"

namespace esc {

QString firstOrderItem(SearchKind kind) {
  switch (kind) {
  case SearchKind::Contas:
    return QStringLiteral("Cód. Cta. Contábil");
  case SearchKind::Historicos:
    return QStringLiteral("Código do Histórico");
  case SearchKind::Lancamentos:
    return QStringLiteral("Exercício + Códigos Contas");
  case SearchKind::Balanco:
    return QStringLiteral("Ano + Mês + Códigos Contas");
  case SearchKind::DemResul:
    return QStringLiteral("Ordem do Grupo");
  }
  return {};
}

QString MainContext::orderItem(SearchKind k) const {
  return items_[int(k)].isEmpty() ? firstOrderItem(k) : items_[int(k)];
}

} // namespace esc
