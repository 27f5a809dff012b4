#pragma once

#include <QDialog>

namespace Ui {
class frmAbout;
}

// The About box: the product logo and a close button.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);
    ~frmAbout() override;

    void retranslateUi();

private:
    Ui::frmAbout *ui;
};
