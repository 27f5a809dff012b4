#pragma once

#include "comm/cserialtransport.h"
#include "comm/requestwriter.h"

// A worker over a real pseudo-terminal, as the program runs it: the
// program's serial transport opens the port on its own thread, the worker
// writes its requests through it and gets every answer from it. Declare the
// worker before the line: requests still queued when the line closes are told
// to their worker then.
struct WorkerLine : CRequestWriter
{
    CSerialTransport transport;

    CEcuLine *rules;

    WorkerLine(const QString &path, CEcuLine *line) : transport(path, line), rules(line) {}

    template <class Worker>
    void attach(Worker *worker)
    {
        worker->setLine(rules);
        worker->setWriter(this);
        transport.setAnswerHandler([worker](const QByteArray &frame) { worker->setReply(frame); });
    }
    void postRequest(const QByteArray &frame, Written written) override
    {
        transport.post(frame, written);
    }
};
