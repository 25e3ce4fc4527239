#pragma once
#include "registry.h"

namespace esc::report {

// A term of the journal book: one page, A4, the declaration about the book in the
// organization record (`cabecalh`, the data source "TbCabecalh" that recordOf() gives),
// under `heading`. The opening and the closing term differ only there.
std::shared_ptr<ReportDefinition> makeTerm(const QString& name, const QString& heading,
                                           const FixedSource& cabecalh);
// The opening term.
std::shared_ptr<ReportDefinition> makeTerAber(const FixedSource& cabecalh);

} // namespace esc::report
