#pragma once
#include "reports/engine/registry.h"

namespace esc::report {

// A term of the journal book: one page, A4, the declaration about the book in the
// organization record (`cabecalh`, the data source "TbCabecalh" that recordOf() gives),
// under `heading`. The opening and the closing term differ only there.
std::shared_ptr<ReportDefinition> makeTerm(const QString& name, const QString& heading,
                                           const FixedSource& cabecalh);
// The opening term.
std::shared_ptr<ReportDefinition> makeTerAber(const FixedSource& cabecalh);
// The closing term: the opening term's body under "Termo de Encerramento".
std::shared_ptr<ReportDefinition> makeTerFech(const FixedSource& cabecalh);

// The reports of one run of TF_SelTermo: "&Vídeo" the journal book alone; "&Impressora" the
// opening term, the journal book and the closing term, in that order.
Reports journalBook(TDEscrivon& dm, Output output);

} // namespace esc::report
