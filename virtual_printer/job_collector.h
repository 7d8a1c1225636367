#pragma once

#include "virtual_printer/paper_job.h"

#include <QVector>

struct JournalEntry;

// Follows the journal call by call, as the printer follows its input, and hands out each
// piece of paper once it is printed. Refused calls print nothing.
class JobCollector
{
public:
    [[nodiscard]] QVector<PaperJob> add(int index, const JournalEntry &entry);

private:
    void finish(PaperJob job);
    void flushCall(int index, const JournalEntry &entry);

    CheckFields m_fields;
    int m_fieldsFrom = -1;

    bool m_inBack = false;
    QByteArray m_back;
    int m_backFrom = 0;

    bool m_monitored = false;
    PaperJob m_monitoredJob;

    // Within one call: an authentication or plain text still taking bytes.
    bool m_callJobOpen = false;
    PaperJob m_callJob;

    QVector<PaperJob> m_done;
};

// The whole journal at once.
[[nodiscard]] QVector<PaperJob> collectJobs(const QVector<JournalEntry> &journal);
