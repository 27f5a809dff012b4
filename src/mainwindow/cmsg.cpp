#include "cmsg.h"

QMap<int, QString> CMsg::messages;

CMsg::CMsg()
{
    buildMessages();
}

CMsg::~CMsg() = default;

void CMsg::buildMessages()
{
    messages.clear();
    messages.insert(0, tr("Link ON"));
    messages.insert(1, tr("Link OFF"));
    messages.insert(2, tr("Banco ON"));
    messages.insert(3, tr("Banco OFF"));
    messages.insert(4, tr("<Nessun profilo>"));
    messages.insert(5, tr("<Nessuna>"));
    messages.insert(6, tr("<Selezionare una porta>"));
    messages.insert(7, tr("Scheda trovata"));
    messages.insert(8, tr("Scheda non trovata"));
    messages.insert(9, tr("Curva iniezione"));
    messages.insert(10, tr("Giri al Minuto"));
    messages.insert(11, tr("Punti"));
    messages.insert(13, tr("Lettura FLASH"));
    messages.insert(14, tr("Aggiornamento FLASH"));
    messages.insert(15, tr("Errore di comunicazione con la scheda"));
}
