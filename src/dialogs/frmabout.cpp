#include "frmabout.h"
#include "ui_frmabout.h"

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::frmAbout)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    connect(ui->btClose, &QPushButton::clicked, this, &QDialog::close);
}

frmAbout::~frmAbout()
{
    delete ui;
}

void frmAbout::retranslateUi()
{
    ui->retranslateUi(this);
    // QLabel::setText drops a pixmap whenever the text changes; the logo label
    // carries no text, so it is only cleared when it shows no picture.
    if (ui->lblLogo->pixmap(Qt::ReturnByValue).isNull())
        ui->lblLogo->setText(QString());
    ui->lblInfo->setText(QString());
}
