#pragma once

#include <QMap>
#include <QObject>
#include <QString>

// The table of translated messages that the program composes at run time.
class CMsg : public QObject
{
    Q_OBJECT
public:
    CMsg();
    ~CMsg() override;

    static QMap<int, QString> messages;
    static void buildMessages();
};
