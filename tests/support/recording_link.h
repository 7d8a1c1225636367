#pragma once

#include "printer_link/printer_link.h"

#include <QList>
#include <QStringList>
#include <functional>

// Records every call; status reads and TX results follow a script.
class RecordingLink : public PrinterLink
{
public:
    struct Call
    {
        QString name; // "Estado", "TX", "TXI", "Sleep"
        int16_t port = 0;
        QByteArray bytes;
        uint32_t milliseconds = 0;
    };

    [[nodiscard]] LinkResult Estado(int16_t port) override
    {
        return record({"Estado", port, {}, 0}, {next(statuses, m_statusIndex, 0xD8), estadoError});
    }
    [[nodiscard]] LinkResult TX(int16_t port, const QByteArray &bytes) override
    {
        return record({"TX", port, bytes, 0}, {next(txResults, m_txIndex, 0), txError});
    }
    LinkResult TXI(int16_t port, const QByteArray &bytes) override
    {
        return record({"TXI", port, bytes, 0}, {0, txiError});
    }
    void Sleep(uint32_t milliseconds) override { record({"Sleep", 0, {}, milliseconds}, {}); }

    // Status values returned in turn; the last one repeats. Default: 0xD8.
    QList<int16_t> statuses;
    // TX results returned in turn; the last one repeats. Default: 0.
    QList<int16_t> txResults;
    // When set, every Estado / TX / TXI fails with this error.
    QString estadoError;
    QString txError;
    QString txiError;
    // Called after every recorded call, e.g. to change the script during a wait.
    std::function<void(const Call &)> onCall;

    QList<Call> calls;
    // "TXI 888 1b7e31, Sleep 1, Estado 888"; Sleep has no port, so its milliseconds go there.
    [[nodiscard]] QString trace() const
    {
        QStringList out;
        for (const Call &c : calls)
            out << (c.name + ' ' + QString::number(c.port + c.milliseconds) + ' ' + c.bytes.toHex())
                       .trimmed();
        return out.join(QStringLiteral(", "));
    }

private:
    static int16_t next(const QList<int16_t> &script, int &index, int16_t fallback)
    {
        return script.isEmpty() ? fallback : script.at(qMin(index++, int(script.size()) - 1));
    }
    LinkResult record(const Call &call, const LinkResult &result)
    {
        calls.append(call);
        if (onCall)
            onCall(call);
        return result;
    }
    int m_statusIndex = 0;
    int m_txIndex = 0;
};
