#include "cstatusnotice.h"

CStatusNotice::CStatusNotice(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("lblAvviso"));
    m_clear.setSingleShot(true);
    connect(&m_clear, &QTimer::timeout, this, &CStatusNotice::clearMessage);
}

void CStatusNotice::showMessage(const QString &text, int milliseconds)
{
    setText(text);
    m_clear.start(milliseconds);
}

void CStatusNotice::clearMessage()
{
    m_clear.stop();
    clear();
}
