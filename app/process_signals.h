#pragma once

#include <QObject>

class QSocketNotifier;

// The signals that would end the program with the operator's typing unsaved. SIGTERM, SIGINT
// and SIGHUP (shutdown, Ctrl+C, logout) close every window, whose own saves run as they close,
// and then the program quits. SIGXFSZ is ignored, so that a write past the file size limit fails
// with EFBIG and is told like any other failed save. One lives for the whole run.
class ProcessSignals : public QObject
{
    Q_OBJECT
public:
    explicit ProcessSignals(QObject *parent = nullptr);
    ~ProcessSignals() override;

private:
    void arrived();

    QSocketNotifier *m_notifier = nullptr;
};
