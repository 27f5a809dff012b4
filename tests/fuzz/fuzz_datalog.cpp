// The datalog reader: any file, read as a log. Input: the file's bytes.
// A log that opens replays within its rows: the replayer's row for any
// moment is one of them, never past the last, and its times never go back.
#include "fuzzcheck.h"

#include "comm/datalog.h"
#include "comm/logreplayer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), static_cast<int>(size));
    CDataLog log;
    QString error;
    if (!parseDataLog(file, &log, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(log.size() == 0); // a refused file leaves the log alone
        return 0;
    }
    FUZZ_CHECK(error.isEmpty());
    FUZZ_CHECK(log.k.size() == log.size() && log.bench.size() == log.size());
    for (int i = 0; i < log.size(); ++i) {
        const CLiveSample &s = log.samples.at(i);
        FUZZ_CHECK(isDataLogRowValid(s.ms, s, log.k.at(i)));
        FUZZ_CHECK(i == 0 || s.ms >= log.samples.at(i - 1).ms);
    }

    // Rows written back read the same.
    QByteArray again = kDataLogHeader;
    for (int i = 0; i < log.size(); ++i)
        appendDataLogRow(&again, log.samples.at(i).ms, log.samples.at(i), log.k.at(i),
                         log.bench.at(i));
    CDataLog back;
    FUZZ_CHECK(parseDataLog(again, &back, &error));
    FUZZ_CHECK(back.size() == log.size());

    CLogReplayer replayer;
    replayer.setLog(log);
    const qint64 end = log.duration();
    for (qint64 ms : {qint64(-1), qint64(0), end / 2, end, end + 1}) {
        replayer.seek(ms);
        FUZZ_CHECK(replayer.position() >= 0 && replayer.position() <= end);
        const int row = replayer.indexAt(replayer.position());
        FUZZ_CHECK(row < log.size());
        FUZZ_CHECK(log.size() == 0 || row >= 0 || log.samples.first().ms > replayer.position());
        if (row >= 0)
            FUZZ_CHECK(log.samples.at(row).ms <= replayer.position());
    }
    return 0;
}
