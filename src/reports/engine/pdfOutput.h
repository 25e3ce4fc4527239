#pragma once
// A report written to a PDF file: what may be replaced, and the messages of a failed write.
// The preview window's "Salvar PDF" and escrivon-report both go through here.
#include "layout.h"

#include <QString>
#include <QVector>

namespace esc {
class Ui;
}

namespace esc::report {

QString cannotWriteMessage(const QString& path, const QString& reason = {});

// Why a report must not be written to `path`, or empty when it may. A report never replaces
// a file of the data directory `dataDirectory` (however the path reaches it) nor any SQLite
// database or journal.
QString outputRefusal(const QString& path, const QString& dataDirectory);

// Writes laid-out pages to the PDF file `path` beside it, then renames it into place. A
// refusal or a failure is said in an error box and leaves `path` as it was.
bool savePdf(const QVector<Page>& pages, const QString& path, const QString& title,
             const QString& dataDirectory, Ui& ui);

} // namespace esc::report
