// Language switching: the main window's translation pass.
#include "frmprogpannel.h"

#include "app/startup.h"
#include "cmsg.h"
#include "dialogs/frmabout.h"
#include "dialogs/frmlogin.h"
#include "portsearch/frmricercaporta.h"
#include "ui_frmprogpannel.h"

#include <QSettings>
#include <QTranslator>
#include <qwt_text.h>

void frmProgPannel::onItalianoClicked()
{
    switchLanguage(QStringLiteral("ECUVantor-it.qm"), QStringLiteral("IT"));
}

void frmProgPannel::onIngleseClicked()
{
    switchLanguage(QStringLiteral("ECUVantor-en.qm"), QStringLiteral("EN"));
}

void frmProgPannel::switchLanguage(const QString &catalogue, const QString &code)
{
    // The translator of the latest switch replaces the previous switch's one;
    // the start-up translator stays installed below it.
    auto *translator = new QTranslator(this);
    (void)translator->load(catalogue, QStringLiteral(":/linguist"));
    if (switchTranslator) {
        QCoreApplication::removeTranslator(switchTranslator);
        delete switchTranslator;
    }
    switchTranslator = translator;
    QCoreApplication::installTranslator(switchTranslator);
    (void)installQtCatalogue(code);

    retranslateAll();
    ricercaPorta->retranslateUi();
    aboutDialog->retranslateUi();
    loginDialog->retranslateUi();

    const bool italian = code == QLatin1String("IT");
    ui->actionItaliano->setChecked(italian);
    ui->actionInglese->setChecked(!italian);

    // "[*]" shows the star of an unsaved profile and nothing otherwise.
    setWindowTitle(QCoreApplication::applicationName() + QStringLiteral(" - V.")
                   + QCoreApplication::applicationVersion() + QStringLiteral("[*]"));

    QSettings().setValue(QStringLiteral("Language"), code);
}

void frmProgPannel::setPlotTitles()
{
    QwtText title(CMsg::messages[9], QwtText::AutoText);
    title.setColor(Qt::yellow);
    ui->qwtPlot->setTitle(title);

    QFont axisFont(QStringLiteral("Arial"), 18);
    axisFont.setWeight(75);
    axisFont.setItalic(false);

    QwtText xTitle(CMsg::messages[10], QwtText::AutoText);
    xTitle.setColor(Qt::white);
    xTitle.setFont(axisFont);
    ui->qwtPlot->setAxisTitle(QwtPlot::xBottom, xTitle);

    QwtText yTitle(CMsg::messages[11], QwtText::AutoText);
    yTitle.setColor(Qt::white);
    yTitle.setFont(axisFont);
    ui->qwtPlot->setAxisTitle(QwtPlot::yLeft, yTitle);
}

void frmProgPannel::retranslateAll()
{
    ui->retranslateUi(this);
    CMsg::buildMessages();
    setPlotTitles();
    if (!connected) {
        ui->lblVirtualPort->setText(CMsg::messages[5]);
        ui->lblVirtualPort->setToolTip(QString());
    }
    ui->btStartLink->setText(CMsg::messages[linkOn ? 0 : 1]);
    ui->btBanco->setText(CMsg::messages[bancoOn ? 2 : 3]);
    if (!profileFileShown)
        ui->lblPathProfilo->setText(CMsg::messages[4]);
    showSelectionInfo();
}
