#pragma once
// Shared by the listings' tests: lay a definition out and read its pages back.
#include "reports/dialogs/parameterDialog.h"
#include "reports/dialogs/previewWindow.h"
#include "reports/engine/layout.h"
#include "reports/engine/registry.h"
#include "reports/engine/render.h"
#include "reportsTestSupport.h"
#include "store/dataModule.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace esc::test::listings {

using namespace esc::report;

inline constexpr double margin = 12.7; // left and top margins of every listing

inline QVector<Page> layOutRows(ReportDefinition& def, const QStringList& columns,
                                const QVector<QVariantList>& rows) {
  PageCollector pages;
  layOut(def, columns, rows, pages);
  return pages.pages;
}

// The report of `id` as its button would run it with `given` over the dialog's initial values.
inline QVector<Page> runReport(TDEscrivon& dm, const QString& id, const ParamValues& given = {}) {
  const ReportEntry* entry = ReportRegistry::instance().byId(id);
  EXPECT_NE(entry, nullptr) << id.toStdString();
  if (!entry) return {};
  BuildContext ctx{dm, Output::Video};
  PageCollector pages;
  for (const auto& def : entry->build(ctx, withInitials(entry->dialog, given)))
    layOut(*def, &dm.database(), pages);
  return pages.pages;
}

inline const PageItem* findText(const Page& page, const QString& text) {
  for (const PageItem& it : page.items)
    if (it.kind == PageItem::Kind::Text && it.text == text) return &it;
  return nullptr;
}

// The texts printed in the detail band starting at band position `x`, page after page.
inline QStringList detailColumn(const QVector<Page>& pages, double x) {
  QStringList texts;
  for (const Page& p : pages)
    for (const PageItem& it : p.items)
      if (it.band == BandKind::Detail && it.kind == PageItem::Kind::Text &&
          qAbs(it.x - (margin + x)) < 0.01)
        texts << it.text;
  return texts;
}

inline int detailRows(const QVector<Page>& pages, double firstColumnX) {
  return int(detailColumn(pages, firstColumnX).size());
}

// Writes the report of `id` to a PDF as escrivon-report does and reads its text back.
inline QString reportPdfText(TDEscrivon& dm, const QString& id, const ParamValues& given = {}) {
  const ReportEntry* entry = ReportRegistry::instance().byId(id);
  if (!entry) return {};
  QTemporaryDir dir;
  const QString file = dir.filePath("out.pdf");
  BuildContext ctx{dm, Output::Video};
  const Reports reports = entry->build(ctx, withInitials(entry->dialog, given));
  {
    PdfFileSink sink(file, reports.value(0)->title);
    for (const auto& def : reports)
      layOut(*def, &dm.database(), sink);
    sink.finish();
  }
  return pdfText(file);
}

// Closes the windows a test opened, so the next test starts with none.
struct ListingWindowsGuard {
  ~ListingWindowsGuard() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<PreviewWindow*>(w) || qobject_cast<ParameterDialog*>(w)) delete w;
  }
};

} // namespace esc::test::listings
