// The profile as a table: pasted text read as values, the table model on a
// document (typed values, pastes, the lock, the reference columns) and the
// dock on its own (one selection with the model, copy and paste keys, the
// table's keys kept from the window's shortcuts).
#include "profile/profiledocument.h"
#include "profile/profiletable.h"
#include "profile/profiletabledock.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

using Values = QVector<double>;
Q_DECLARE_METATYPE(Values)

class TestProfileTable : public QObject
{
    Q_OBJECT
private slots:
    void parsePaste_data();
    void parsePaste();
    void typedValues_data();
    void typedValues();
    void pasteIsOneStep();
    void referenceColumns();
    void selectionIsShared();
    void keysInTheTable();
};

void TestProfileTable::parsePaste_data()
{
    // Values -10..25; bad rows name the first bad cell (row, column).
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pointsLeft");
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("column") << "1\n2\n3" << 41 << Values{1, 2, 3} << 0 << 0 << QString();
    QTest::newRow("row") << "4\t5\t6" << 41 << Values{4, 5, 6} << 0 << 0 << QString();
    QTest::newRow("decimal comma and point, zeros only")
        << "12,0\n7.00\n-3,0" << 41 << Values{12, 7, -3} << 0 << 0 << QString();
    QTest::newRow("blanks around values") << " 4 \t 5\t6  " << 41 << Values{4, 5, 6} << 0 << 0
                                          << QString();
    QTest::newRow("final newline, Windows lines") << "1\r\n-2\r\n" << 41 << Values{1, -2} << 0
                                                  << 0 << QString();
    QTest::newRow("signs, exactly the points left") << "-10\n+25" << 2 << Values{-10, 25} << 0
                                                    << 0 << QString();

    QTest::newRow("12.5") << "1\n2\n12.5\n" << 41 << Values() << 3 << 1
                          << "riga 3, colonna 1: \"12.5\" non è un numero intero";
    QTest::newRow("12,5 and text") << "1\t12,5\tabc" << 41 << Values() << 1 << 2 << "\"12,5\"";
    QTest::newRow("text") << "3\nabc" << 41 << Values() << 2 << 1 << "\"abc\"";
    QTest::newRow("empty cell in a column") << "1\n\n3" << 41 << Values() << 2 << 1
                                            << "cella vuota";
    QTest::newRow("empty cell in a row") << "1\t\t3" << 41 << Values() << 1 << 2
                                         << "cella vuota";
    QTest::newRow("2x2 block") << "1\t2\n3\t4" << 41 << Values() << 2 << 1
                               << "una sola colonna o una sola riga";
    QTest::newRow("a column that widens") << "1\n2\t3" << 41 << Values() << 2 << 2
                                          << "una sola colonna o una sola riga";
    QTest::newRow("out of range") << "1\n26" << 41 << Values() << 2 << 1
                                  << "26 è fuori dall'intervallo da -10 a 25";
    QTest::newRow("beyond 64 bits") << "99999999999999999999" << 41 << Values() << 1 << 1
                                    << "fuori dall'intervallo";
    QTest::newRow("too many values") << "1\n2\n3" << 2 << Values() << 3 << 1
                                     << "al massimo 2 valori";
    QTest::newRow("nothing") << "\n" << 41 << Values() << 0 << 0 << "Niente da incollare";
}

void TestProfileTable::parsePaste()
{
    QFETCH(QString, text);
    QFETCH(int, pointsLeft);
    QFETCH(Values, values);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, errorPart);

    const PasteResult r = parsePastedValues(text, -10.0, 25.0, pointsLeft);
    QCOMPARE(r.ok, errorPart.isEmpty());
    QCOMPARE(r.values, values);
    QCOMPARE(r.row, row);
    QCOMPARE(r.column, column);
    QVERIFY2(r.error.contains(errorPart), qPrintable(r.error));
}

void TestProfileTable::typedValues_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<double>("expected"); // the value afterwards; 5: refused
    QTest::addColumn<QString>("messagePart");

    QTest::newRow("whole number") << "-7" << false << -7.0 << QString();
    QTest::newRow("with a decimal zero") << "12,0" << false << 12.0 << QString();
    QTest::newRow("fraction") << "12.5" << false << 5.0 << "\"12.5\" non è un numero intero";
    QTest::newRow("text") << "tanto" << false << 5.0 << "\"tanto\"";
    QTest::newRow("out of range") << "26" << false << 5.0 << "26 è fuori";
    QTest::newRow("locked") << "7" << true << 5.0 << CProfileDocument::lockedMessage();
}

// A typed value is one step; whatever is refused leaves no step and says why.
void TestProfileTable::typedValues()
{
    QFETCH(QString, typed);
    QFETCH(bool, locked);
    QFETCH(double, expected);
    QFETCH(QString, messagePart);

    CProfileDocument doc;
    doc.setFlat(5);
    CProfileTableModel table(&doc);
    QSignalSpy messages(&table, &CProfileTableModel::message);
    const QModelIndex cell = table.index(3, CProfileTableModel::ValueColumn);
    QVERIFY(table.flags(cell) & Qt::ItemIsEditable);
    QVERIFY(!(table.flags(table.index(3, CProfileTableModel::ReferenceColumn))
              & Qt::ItemIsEditable));

    doc.setLocked(locked);
    QCOMPARE(table.setData(cell, typed), messagePart.isEmpty());
    doc.setLocked(false);
    QCOMPARE(doc.model()->value(3), expected);
    QCOMPARE(table.data(cell).toString(), QString::number(expected));
    QCOMPARE(doc.model()->undoStack()->count(), messagePart.isEmpty() ? 2 : 1);
    QCOMPARE(messages.count(), messagePart.isEmpty() ? 0 : 1);
    if (!messagePart.isEmpty())
        QVERIFY2(messages.at(0).at(0).toString().contains(messagePart),
                 qPrintable(messages.at(0).at(0).toString()));
}

void TestProfileTable::pasteIsOneStep()
{
    CProfileDocument doc;
    CProfileTableModel table(&doc);
    QSignalSpy messages(&table, &CProfileTableModel::message);

    QVERIFY(table.paste(QStringLiteral("1\n2\n3\n"), 38));
    QCOMPARE(doc.model()->values().mid(37), Values({0, 1, 2, 3}));
    QCOMPARE(messages.takeLast().at(0).toString(),
             QStringLiteral("Incollato. Valori cambiati: 3 di 3."));
    QCOMPARE(doc.model()->undoStack()->count(), 1);
    QVERIFY(doc.undo());
    QCOMPARE(doc.model()->values(), Values(ProfilePoints, 0.0));
    QVERIFY(doc.redo());
    QVERIFY(table.paste(QStringLiteral("7\t2"), 38)); // the 2 was there already
    QCOMPARE(messages.takeLast().at(0).toString(),
             QStringLiteral("Incollato. Valori cambiati: 1 di 2."));

    // Refused: one value too many from point 39, and anything while locked.
    const Values before = doc.model()->values();
    QVERIFY(!table.paste(QStringLiteral("1\n2\n3"), 39));
    QVERIFY(messages.last().at(0).toString().startsWith(QStringLiteral("riga 3, colonna 1")));
    doc.setLocked(true);
    QVERIFY(!table.paste(QStringLiteral("9"), 0));
    QCOMPARE(messages.last().at(0).toString(), CProfileDocument::lockedMessage());
    doc.setLocked(false);
    QVERIFY(!table.paste(QStringLiteral("9"), -1)); // nothing selected
    QCOMPARE(messages.count(), 3);
    QCOMPARE(doc.model()->values(), before);
    QCOMPARE(doc.model()->undoStack()->count(), 2);
}

// Engine speed by the variant; reference and difference only with a
// reference, and following it.
void TestProfileTable::referenceColumns()
{
    CProfileDocument doc;
    doc.setFlat(4);
    CProfileTableModel table(&doc);
    auto row = [&table](int r) {
        QStringList cells;
        for (int c = 0; c < CProfileTableModel::ColumnCount; ++c)
            cells << table.data(table.index(r, c)).toString();
        return cells;
    };
    QCOMPARE(table.rowCount(), ProfilePoints);
    QCOMPARE(row(40), QStringList({"12000", "4", "", "", ""}));
    table.setMaxRpm(17000.0);
    QCOMPARE(row(1), QStringList({"425", "4", "", "", ""}));
    // The time in each cell, once some has been counted.
    QVector<double> shares(ProfilePoints, 0.0);
    shares[1] = 0.125;
    shares[2] = 0.875;
    table.setTimeShares(shares);
    QCOMPARE(row(1).last(), QStringLiteral("12.5"));
    QCOMPARE(row(0).last(), QStringLiteral("0.0"));
    table.setTimeShares(QVector<double>(ProfilePoints, 0.0));
    QCOMPARE(row(1).last(), QString());

    QSignalSpy changed(&table, &QAbstractItemModel::dataChanged);
    Values reference(ProfilePoints, 6.0);
    reference[2] = 4.0;
    reference[3] = -1.0;
    doc.model()->setReference(reference);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(row(1), QStringList({"425", "4", "6", "-2", ""}));
    QCOMPARE(row(2).at(3), QStringLiteral("0"));
    QCOMPARE(row(3).at(3), QStringLiteral("+5"));

    // Copied as a spreadsheet takes it: rows by lines, columns by tabs.
    const QModelIndexList cells = {table.index(2, 3), table.index(1, 1), table.index(2, 1),
                                   table.index(1, 3)};
    QCOMPARE(table.copyText(cells), QStringLiteral("4\t-2\n4\t0\n"));
}

// The table's rows and the model's range are one selection, either way,
// without one side echoing back to the other.
void TestProfileTable::selectionIsShared()
{
    CProfileDocument doc;
    CProfileTableDock dock(&doc);
    QVERIFY(dock.isHidden());
    QCOMPARE(dock.objectName(), QStringLiteral("dockTabella"));
    QTableView *view = dock.findChild<QTableView *>(QStringLiteral("tableMappa"));
    QCOMPARE(view, dock.view());
    CProfileModel *model = doc.model();
    QSignalSpy modelSelection(model, &CProfileModel::selectionChanged);

    // Rows 12..15 in the table, the current cell on row 12.
    QItemSelectionModel *sm = view->selectionModel();
    auto *t = dock.tableModel();
    sm->setCurrentIndex(t->index(15, 1), QItemSelectionModel::ClearAndSelect);
    sm->setCurrentIndex(t->index(12, 0), QItemSelectionModel::NoUpdate);
    sm->select(QItemSelection(t->index(12, 0), t->index(15, 1)),
               QItemSelectionModel::ClearAndSelect);
    QCOMPARE(model->first(), 12);
    QCOMPARE(model->last(), 15);
    QCOMPARE(model->current(), 12);

    // The model's range (from the plot or the keys) in the columns selected.
    modelSelection.clear();
    model->select(30);
    model->extendSelection(28);
    QCOMPARE(modelSelection.count(), 2);
    QCOMPARE(sm->selectedIndexes().size(), 3 * 2);
    QVERIFY(sm->isSelected(t->index(28, 0)) && sm->isSelected(t->index(30, 1)));
    QCOMPARE(sm->currentIndex().row(), 28);
    QCOMPARE(model->first(), 28); // the table's echo did not change it
    QCOMPARE(model->current(), 28);

    model->clearSelection();
    QVERIFY(!sm->hasSelection());
    model->select(3);
    QCOMPARE(sm->selectedIndexes(), QModelIndexList{t->index(3, CProfileTableModel::ValueColumn)});
}

void TestProfileTable::keysInTheTable()
{
    // A window with the shortcuts of the main window on plain keys.
    CProfileDocument doc;
    QMainWindow window;
    auto *nudge = new QAction(&window);
    nudge->setShortcut(QKeySequence(Qt::Key_Down));
    auto *typeValue = new QAction(&window);
    typeValue->setShortcut(QKeySequence(Qt::Key_Return));
    window.addAction(nudge);
    window.addAction(typeValue);
    QSignalSpy nudged(nudge, &QAction::triggered);
    QSignalSpy typed(typeValue, &QAction::triggered);
    auto *dock = new CProfileTableDock(&doc, &window);
    window.addDockWidget(Qt::RightDockWidgetArea, dock);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(dock->isHidden()); // until the user shows it
    dock->show();
    QTableView *view = dock->view();
    view->setFocus();
    QTRY_VERIFY(view->hasFocus());

    doc.model()->select(4);
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(doc.model()->current(), 5);
    QCOMPARE(nudged.count(), 0);
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClick(view, Qt::Key_F2); // edits the value
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor && view->isAncestorOf(editor));
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("8"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(doc.model()->value(5), 8.0); // the delegate commits queued
    QCOMPARE(typed.count(), 0);

    // Ctrl+C, then Ctrl+V from point 0: one step.
    doc.model()->select(4);
    doc.model()->extendSelection(5);
    view->setFocus();
    QTest::keySequence(view, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0\n8\n"));
    doc.model()->select(0);
    QTest::keySequence(view, QKeySequence::Paste);
    QCOMPARE(doc.model()->values().mid(0, 2), Values({0, 8}));
    QCOMPARE(doc.model()->undoStack()->count(), 2);

    // Refused while locked: said under the table and to the window.
    QSignalSpy messages(dock, &CProfileTableDock::message);
    doc.setLocked(true);
    doc.model()->select(10);
    QTest::keySequence(view, QKeySequence::Paste);
    QCOMPARE(doc.model()->value(10), 0.0);
    QCOMPARE(messages.count(), 1);
    const auto *label = dock->findChild<QLabel *>(QStringLiteral("lblMessaggioTabella"));
    QCOMPARE(label->text(), CProfileDocument::lockedMessage());
    QVERIFY(label->isVisible());
}

QTEST_MAIN(TestProfileTable)
#include "tst_profiletable.moc"
