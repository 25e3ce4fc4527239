#pragma once
#include "period/spedData.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace esc::cli {

// The SPED data as `dados-sped` shows them: one CAMPO=VALOR a line, in the form the same
// command takes to set them, so a listing can be edited and given back.
void writeSpedData(const SpedData& data, QTextStream& out);

// Applies the assignments CAMPO=VALOR of `dados-sped` to `data`. Throws UsageError naming
// the command for an assignment it cannot read.
void applySpedAssignments(SpedData& data, const QStringList& assignments);

} // namespace esc::cli
