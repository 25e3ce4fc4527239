#pragma once
#include "bookFixture.h"
#include "journal/pages/documentosPage.h"
#include "journal/pages/lancamentosPage.h"
#include "widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace esc::test {

// A book of fiscal year 2004 with a chart and descriptions of its own and an empty journal;
// each test writes the entries it needs. Both journal pages stand in one window, as in the
// main window, so that one page reaches the other's document box.
struct JournalPages : PageBook {
  JournalPages() : PageBook(false, 2004) {
    struct A {
      const char *code, *current, *name, *currentName, *nature, *level;
    };
    for (const A& a : {A{"111000", "999", "DISPONÍVEL", "", "D", "3"},
                       A{"111121", "0001", "BANCO DO BRASIL", "AG 1234-5", "D", "6"},
                       A{"111121", "0002", "BANCO DO BRASIL", "AG 9876-5", "D", "6"},
                       A{"291111", "999", "CAPITAL SOCIAL", "", "C", "6"},
                       A{"411114", "999", "MATERIAL DE ESCRITÓRIO", "", "D", "6"}})
      addChartAccount(db(), a.code, a.current, QString::fromUtf8(a.name), a.nature, a.level,
                      QString::fromUtf8(a.currentName));
    db().exec("INSERT INTO historic VALUES ('0001', 'PAGAMENTO'), ('0007', 'CAPITAL')");
    dm->TbContas->refresh();
    dm->TbHistoric->refresh();
    lanc = new LancamentosPage(ctx, &window);
    docs = new DocumentosPage(ctx, &window);
  }

  // An entry written straight into the journal, keyed as the pages key them.
  qint64 addEntry(const QString& doc, const QDate& date, const QString& account,
                  const QString& current, const QString& type, double value,
                  const QString& status = "N", const QString& hist = "0001") {
    const qint64 id = test::addEntry(db(), "2004", doc, date, account, current, type, value, status,
                                     hist, "COMPL");
    journal().refresh();
    return id;
  }

  Table& journal() { return *dm->TbLancamen; }
  void goTo(qint64 id) { journal().gotoBookmark({id}); }
  int count() { return db().selectValue("SELECT count(*) FROM lancamen").toInt(); }
  QVariant stored(qint64 id, const QString& field) {
    return db().selectValue("SELECT " + field + " FROM lancamen WHERE rowid = ?", {id});
  }
  qint64 lastId() { return db().selectValue("SELECT max(rowid) FROM lancamen").toLongLong(); }

  template <class W> W* find(const QString& name) { return child<W>(&window, name); }
  QLineEdit* box(const QString& name) { return find<QLineEdit>(name); }
  QComboBox* combo(const QString& name) { return find<QComboBox>(name); }
  TableModel* model() { return find<DBGrid>("DBGrLanctos")->tableModel(); }
  // The refresh of the main window switches the buttons; here a click is a click.
  void click(const QString& name) {
    auto* b = find<QPushButton>(name);
    b->setEnabled(true);
    b->click();
  }
  // Replaces a box's text by typing, as the user would.
  void type(const QString& name, const QString& text) { retype(box(name), text); }
  // One keystroke: at the end of a plain box, over the first position of a patterned one.
  void key(const QString& name, char c) {
    QLineEdit* e = box(name);
    e->setFocus();
    if (e->inputMask().isEmpty())
      e->end(false);
    else
      e->home(false);
    QTest::keyClick(e, c);
  }
  // Picks the item whose key is `key` from a picker, as a click in its list does.
  void pick(const QString& name, const QString& key) {
    QComboBox* c = combo(name);
    const int i = c->findData(key);
    ASSERT_GE(i, 0) << name.toStdString() << " has no " << key.toStdString();
    c->setCurrentIndex(i);
    emit c->activated(i);
  }
  void focusIn(QWidget* w) {
    QFocusEvent e(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(w, &e);
  }
  // The focus leaves box `from` for box `to`.
  void leave(const QString& from, const QString& to) {
    box(to)->setFocus();
    focusOut(box(from));
  }
  void focusOut(QWidget* w) {
    QFocusEvent e(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &e);
  }

  QWidget window;
  LancamentosPage* lanc;
  DocumentosPage* docs;
};

} // namespace esc::test
