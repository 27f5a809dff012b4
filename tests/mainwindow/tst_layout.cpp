// Every visible text of the main window, its menus, the port search, login
// and About dialogs and the message boxes fits the room its widget gives it,
// in Italian and in English, with the interface font of a stock Debian 12
// desktop (DejaVu Sans at the program's 8 points).
#include "dialogs/frmabout.h"
#include "dialogs/frmlogin.h"
#include "mainwindow/cacceleratormanager.h"
#include "mainwindow/cworkbenchviews.h"
#include "gauge/stripchart.h"
#include "mainwindow/cmsg.h"
#include "mainwindow/frmprogpannel_styles.h"
#include "mainwindowprobe.h"
#include "portsearch/frmricercaporta.h"

#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QTableView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleOptionButton>

namespace {

QString plain(QString text)
{
    return plainText(text);
}

QString where(const QWidget *w)
{
    return w->window()->objectName() + QLatin1Char('/') + w->objectName();
}

// Texts that do not fit their widget (or widgets cut by their parent), one
// line each, for every visible widget of the window.
QStringList misfits(QWidget *top)
{
    QStringList out;
    auto fail = [&out](const QWidget *w, const QString &text, const QString &why) {
        out << QStringLiteral("%1 \"%2\": %3").arg(where(w), text, why);
    };
    auto check = [&fail](const QWidget *w, const QString &text, const QSize &need,
                         const QRect &room) {
        if (need.width() > room.width() || need.height() > room.height())
            fail(w, text, QStringLiteral("needs %1x%2, has %3x%4")
                              .arg(need.width()).arg(need.height())
                              .arg(room.width()).arg(room.height()));
    };

    QList<QWidget *> widgets = top->findChildren<QWidget *>();
    widgets.prepend(top);
    for (QWidget *w : widgets) {
        if (!w->isVisible())
            continue;
        const QFontMetrics fm = w->fontMetrics();
        if ((qobject_cast<QLabel *>(w) || qobject_cast<QPushButton *>(w)
             || qobject_cast<QComboBox *>(w))
            && !w->isWindow() && !w->parentWidget()->rect().contains(w->geometry()))
            fail(w, QString(), QStringLiteral("cut by its parent"));

        if (auto *label = qobject_cast<QLabel *>(w)) {
            const int m = label->margin();
            const QRect room = label->contentsRect().adjusted(m, m, -m, -m);
            const QString text = label->text();
            if (!text.isEmpty())
                check(w, text,
                      QSize(label->wordWrap() ? 0 : fm.horizontalAdvance(text), fm.height()), room);
            const QPixmap pixmap = label->pixmap(Qt::ReturnByValue);
            if (!pixmap.isNull() && !label->hasScaledContents())
                check(w, QStringLiteral("<picture>"), pixmap.size() / pixmap.devicePixelRatio(),
                      room);
        } else if (auto *button = qobject_cast<QPushButton *>(w)) {
            const QString text = plain(button->text());
            if (text.isEmpty())
                continue;
            QStyleOptionButton opt;
            opt.initFrom(button);
            opt.text = button->text();
            const QRect room =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button);
            const int width = fm.horizontalAdvance(text);
            check(w, text, QSize(width, fm.height()), room);
            // A centred caption beside the LED starts right of it.
            if (button->styleSheet().contains(QLatin1String("background-image"))) {
                int blanks = 0;
                while (blanks < text.size() && text.at(blanks) == QLatin1Char(' '))
                    ++blanks;
                const int glyphsLeft = room.left() + (room.width() - width) / 2
                                       + fm.horizontalAdvance(text.left(blanks));
                if (glyphsLeft < LED_CAPTION_LEFT)
                    fail(w, text, QStringLiteral("starts at %1 under the LED").arg(glyphsLeft));
            }
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            QStyleOptionComboBox opt;
            opt.initFrom(combo);
            const QRect room = combo->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                              QStyle::SC_ComboBoxEditField, combo);
            for (int i = 0; i < combo->count(); ++i)
                check(w, combo->itemText(i),
                      QSize(fm.horizontalAdvance(combo->itemText(i)), fm.height()), room);
        }
    }
    return out;
}

// Menus lay themselves out from their texts; this catches a menu that is cut
// anyway (a text or key name wider than the entry the menu gives it).
QStringList menuMisfits(QMenuBar *bar)
{
    QStringList out;
    const QFontMetrics barFm = bar->fontMetrics();
    for (QAction *a : bar->actions()) {
        if (barFm.horizontalAdvance(plain(a->text())) > bar->actionGeometry(a).width())
            out << QStringLiteral("menu bar \"%1\"").arg(a->text());
        QMenu *menu = a->menu();
        if (!menu)
            continue;
        menu->ensurePolished();
        const QFontMetrics fm = menu->fontMetrics();
        QList<QMenu *> menus{menu};
        for (QAction *entry : menu->actions())
            if (entry->menu())
                menus << entry->menu();
        for (QMenu *m : menus) {
            m->ensurePolished();
            (void)m->sizeHint(); // lays the entries out
            for (QAction *entry : m->actions()) {
                if (entry->isSeparator())
                    continue;
                const QString keys = entry->shortcut().toString(QKeySequence::NativeText);
                const int need = fm.horizontalAdvance(plain(entry->text()))
                                 + (keys.isEmpty() ? 0 : fm.horizontalAdvance(keys) + fm.height());
                if (need > m->actionGeometry(entry).width())
                    out << QStringLiteral("%1/%2 \"%3\" + \"%4\"")
                               .arg(m->objectName(), entry->objectName(), entry->text(), keys);
            }
        }
    }
    return out;
}

QStringList shownMisfits(QWidget *top)
{
    top->show();
    if (!QTest::qWaitForWindowExposed(top))
        return {top->objectName() + QStringLiteral(" not shown")};
    QStringList out = misfits(top);
    top->hide();
    return out;
}

// What keeps the views from fitting the screen beside the form: the window
// off the screen, the form squeezed, a view over it or not in the window; a
// button, the table's columns or the strip chart out of sight (scrolled
// views: only cut).
QStringList viewFaults(frmProgPannel &w, const QRect &available, bool scrolled)
{
    QStringList out;
    if (!available.contains(w.frameGeometry()))
        out << QStringLiteral("the window %1,%2 %3x%4 is off the screen")
                   .arg(w.frameGeometry().x()).arg(w.frameGeometry().y())
                   .arg(w.frameGeometry().width()).arg(w.frameGeometry().height());
    const QRect form = w.centralWidget()->geometry();
    if (form.size().width() < w.centralWidget()->minimumSizeHint().width()
        || form.size().height() < w.centralWidget()->minimumSizeHint().height())
        out << QStringLiteral("the form is squeezed");
    for (QDockWidget *dock : w.findChildren<QDockWidget *>()) {
        if (!dock->isVisible() || dock->isFloating())
            out << dock->objectName() + QStringLiteral(" is not beside the form");
        else if (dock->geometry().intersects(form))
            out << dock->objectName() + QStringLiteral(" lies over the form");
    }
    for (QAbstractButton *button : w.findChildren<QAbstractButton *>()) {
        const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
        if (button->isVisible() && !available.contains(onScreen) && !scrolled)
            out << button->objectName() + QStringLiteral(" is off the screen");
    }
    auto *view = widget<QTableView>(w, "tableMappa");
    if (view->viewport()->width() < view->horizontalHeader()->length())
        out << QStringLiteral("the table's columns are cut");
    auto *chart = w.findChild<CStripChart *>();
    if (chart->width() < chart->minimumWidth() || chart->height() < chart->minimumHeight()
        || (!scrolled && !QRect(QPoint(0, 0), w.size())
                              .contains(QRect(chart->mapTo(&w, QPoint(0, 0)), chart->size()))))
        out << QStringLiteral("the strip chart is cut");
    return out;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void textsFit_data();
    void textsFit();
    void viewsFitTheScreen_data();
    void viewsFitTheScreen();
    void savedLayoutFitsAtStartUp();
};

void TestLayout::initTestCase()
{
    useTestSettings();
    // The program's 8-point interface font, in the family a stock Debian
    // desktop gives it.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(8);
    QApplication::setFont(font);
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("DejaVu Sans"));
}

void TestLayout::textsFit_data()
{
    QTest::addColumn<bool>("english");
    QTest::newRow("Italian") << false;
    QTest::newRow("English") << true;
}

void TestLayout::textsFit()
{
    QFETCH(bool, english);

    frmProgPannel w;
    MainWindowProbe p(w);
    widget<QAction>(w, english ? "actionInglese" : "actionItaliano")->trigger();
    w.onGetPassword(QStringLiteral(EXPERT_PASSWORD)); // the expert column too

    QStringList out;
    for (bool bancoOn : {false, true}) {
        p.session().setBenchOn(bancoOn);
        p.retranslateAll();
        out << shownMisfits(&w);
    }
    out << menuMisfits(w.menuBar());
    // ... at the designed size: the layouts did not have to grow the window.
    QCOMPARE(w.size(), QSize(1075, 536));

    auto *search = static_cast<QDialog *>(p.ricercaPorta());
    search->findChild<QComboBox *>()->addItem(CMsg::messages[6]);
    auto *status = search->findChild<QLabel *>(QStringLiteral("lblStatus"));
    for (int message : {7, 8}) {
        status->setText(CMsg::messages[message]);
        out << shownMisfits(search);
    }
    out << shownMisfits(p.loginDialog()) << shownMisfits(p.aboutDialog());

    QMessageBox box(QMessageBox::Warning, CMsg::messages[13], CMsg::messages[15],
                    QMessageBox::Ok, &w);
    out << shownMisfits(&box);

    out.removeDuplicates();
    for (const QString &line : qAsConst(out))
        qWarning("%s", qPrintable(line));
    QVERIFY2(out.isEmpty(), "texts that do not fit are listed above");
}

void TestLayout::viewsFitTheScreen_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<bool>("scrolled");
    QTest::newRow("1366x768, the designed size") << QSize(1366, 768) << false << false;
    QTest::newRow("1366x768, maximised") << QSize(1366, 768) << true << false;
    QTest::newRow("1920x1080, the designed size") << QSize(1920, 1080) << false << false;
    QTest::newRow("1920x1080, maximised") << QSize(1920, 1080) << true << false;
    QTest::newRow("1280x720, the designed size") << QSize(1280, 720) << false << true;
    QTest::newRow("1280x720, maximised") << QSize(1280, 720) << true << true;
}

// Both views shown from the menu on a laptop's screen and a large one: they
// lie beside or below the form, never over it; the window's frame stays on
// the screen; every button, the table's columns and the strip chart are in
// sight. Maximised at 1920x1080 the table shows all its rows. On a screen
// too small for that, the views lie beside the form all the same, scrolled.
void TestLayout::viewsFitTheScreen()
{
    QFETCH(QSize, screen);
    QFETCH(bool, maximised);
    QFETCH(bool, scrolled);
    const QRect available(QPoint(0, 0), screen);
    QSettings().clear(); // the designed size, no views

    frmProgPannel w;
    MainWindowProbe p(w);
    p.views()->setAvailableGeometry(available);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QMargins frame(w.geometry().left() - w.frameGeometry().left(),
                         w.geometry().top() - w.frameGeometry().top(),
                         w.frameGeometry().right() - w.geometry().right(),
                         w.frameGeometry().bottom() - w.geometry().bottom());
    const QSize start = maximised ? available.marginsRemoved(frame).size() : QSize(1075, 536);
    if (maximised)
        w.setGeometry(available.marginsRemoved(frame));
    QCOMPARE(w.size(), start);
    auto *table = widget<QDockWidget>(w, "dockTabella");
    auto *datalog = widget<QDockWidget>(w, "dockRegistrazione");
    // (A window this wide may have shown them by itself.)
    for (QDockWidget *dock : {table, datalog}) {
        if (!dock->isVisible())
            p.views()->showAction(dock)->trigger();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QTRY_VERIFY(table->isVisible() && datalog->isVisible());
    QCOMPARE(p.views()->arrangement() == CWorkbenchViews::Arrangement::Scrolled, scrolled);

    QStringList out = viewFaults(w, available, scrolled);
    auto *view = widget<QTableView>(w, "tableMappa");
    if (maximised && screen.height() >= 1080
        && view->viewport()->height() < view->verticalHeader()->length())
        out << QStringLiteral("the table shows %1 of 41 rows")
                   .arg(view->rowAt(view->viewport()->height() - 1) + 1);
    QVERIFY2(out.isEmpty(), qPrintable(out.join(QLatin1Char('\n'))));

    // Hidden again, from the menu or by a view's own close button, the
    // window gives back the room it took.
    p.views()->showAction(table)->trigger();
    QVERIFY(datalog->close());
    QTRY_COMPARE(w.size(), start);
    QVERIFY(!p.views()->showAction(datalog)->isChecked());
}

// A layout saved on a large screen, the views side by side, is laid out
// again when the program starts on a laptop's screen.
void TestLayout::savedLayoutFitsAtStartUp()
{
    QSettings().clear();
    {
        frmProgPannel wide;
        MainWindowProbe p(wide);
        p.views()->setAvailableGeometry(QRect(0, 0, 1920, 1080));
        wide.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wide));
        for (const char *name : {"dockTabella", "dockRegistrazione"})
            p.views()->showAction(widget<QDockWidget>(wide, name))->trigger();
        QCOMPARE(p.views()->arrangement(), CWorkbenchViews::Arrangement::Columns);
    } // saved at exit

    const QRect laptop(0, 0, 1366, 768);
    frmProgPannel w;
    MainWindowProbe p(w);
    p.views()->setAvailableGeometry(laptop);
    // Start-up's fitting, on the laptop's screen (the constructor's was on
    // the test platform's).
    p.views()->restore(QSettings());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QStringList out = viewFaults(w, laptop, false);
    QVERIFY2(out.isEmpty(), qPrintable(out.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
