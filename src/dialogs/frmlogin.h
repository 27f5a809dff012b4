#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class frmLogin;
}

// Asks for the expert-mode password. It does not judge it: whatever was typed
// goes to the main window in sgnPassword, once per confirm or close.
class frmLogin : public QDialog
{
    Q_OBJECT
public:
    explicit frmLogin(QWidget *parent = nullptr);
    ~frmLogin() override;

    void clearPassword();
    void retranslateUi();

signals:
    void sgnPassword(QString password);

public slots:
    void onCloseClicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    Ui::frmLogin *ui;
};
