#pragma once
#include "registry.h"

namespace esc::report {

// The organization record as the terms read it: the data source "TbCabecalh" holding the
// current record of the table (its edit buffer while it is being edited).
FixedSource cabecalhSource(TDEscrivon& dm);

// A term of the journal book: one page, A4, the declaration about the book in the
// organization record, under `heading`. The opening and the closing term differ only there.
std::shared_ptr<ReportDefinition> makeTerm(const QString& name, const QString& heading,
                                           const FixedSource& cabecalh);
// The opening term.
std::shared_ptr<ReportDefinition> makeTerAber(const FixedSource& cabecalh);

} // namespace esc::report
