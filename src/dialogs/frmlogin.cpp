#include "frmlogin.h"
#include "ui_frmlogin.h"

#include <QCloseEvent>

frmLogin::frmLogin(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::frmLogin)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    // After the flags: changing them re-creates the window and drops the focus.
    ui->lePassword->setFocus();
    connect(ui->btLogin, &QPushButton::pressed, this, &frmLogin::onCloseClicked);
}

frmLogin::~frmLogin()
{
    delete ui;
}

void frmLogin::clearPassword()
{
    ui->lePassword->clear();
}

void frmLogin::retranslateUi()
{
    ui->retranslateUi(this);
    ui->lePassword->setText(QString());
    ui->btLogin->setToolTip(QString());
}

// Confirm: hand over the text, then hide. Hiding sends no close event, so the
// text goes out exactly once.
void frmLogin::onCloseClicked()
{
    emit sgnPassword(ui->lePassword->text());
    hide();
}

// Closing the window reports whatever was typed, possibly nothing. The base
// class is not asked: QDialog::closeEvent would call reject() and report the
// text a second time.
void frmLogin::closeEvent(QCloseEvent *event)
{
    emit sgnPassword(ui->lePassword->text());
    event->accept();
}

// Typing goes into the password field every time the dialog opens, also
// after the confirm button took the focus with a mouse press: otherwise the
// typed characters would go nowhere and Return would send an empty password.
void frmLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ui->lePassword->setFocus();
}

// Escape ends the dialog like its close button does: the text is reported
// once, so the main window can untick expert mode when nothing matches.
// QDialog::reject() only hides the dialog (no close event), so it adds no
// second report.
void frmLogin::reject()
{
    emit sgnPassword(ui->lePassword->text());
    QDialog::reject();
}
