#pragma once
#include "mainContext.h"

namespace esc {

// The search of the "&Buscar" buttons: confirm leaving an edit, prompt with the chosen
// order's item and the remembered text, then find the nearest record. `what` is the text
// passed to ConfirmaCancelaEdicao ("Contas", "Históricos", ...). Returns true when it moved.
bool runSearch(MainContext& ctx, SearchKind kind, DataSource* source, const QString& what);

DataSource* sourceOf(TDEscrivon& dm, SearchKind kind);

} // namespace esc
