#pragma once

#include "printer_link/printer_link.h"

#include <QList>
#include <QVector>
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

    [[nodiscard]] LinkResult Estado(int16_t port) override;
    [[nodiscard]] LinkResult TX(int16_t port, const QByteArray &bytes) override;
    LinkResult TXI(int16_t port, const QByteArray &bytes) override;
    void Sleep(uint32_t milliseconds) override;

    // Status values returned in turn; the last one repeats. Default: 0xD8.
    QList<int16_t> statuses;
    // TX results returned in turn; the last one repeats. Default: 0.
    QList<int16_t> txResults;
    // When set, every Estado / TX fails with this error.
    QString estadoError;
    QString txError;
    // Called after every recorded call, e.g. to change the script during a wait.
    std::function<void(const Call &)> onCall;

    QVector<Call> calls;
    [[nodiscard]] QStringList names() const;
    [[nodiscard]] QVector<Call> only(const QString &name) const;

private:
    void record(Call call);
    int m_statusIndex = 0;
    int m_txIndex = 0;
};
