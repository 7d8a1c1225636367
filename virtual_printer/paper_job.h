#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The data the printer holds for the front of a check, as the check commands brought it.
struct CheckFields
{
    QByteArray payee; // 01
    QByteArray city; // 02
    QByteArray date; // 03, DDMMYY
    QByteArray value; // 04, twelve digits
    QByteArray observation1; // 05
    QByteArray observation2; // 06
    QByteArray singular; // 07
    QByteArray plural; // 08
};

// One piece of paper the printer printed, and the journal calls that made it.
struct PaperJob
{
    enum class Kind {
        CheckFront, // 09
        CheckObservations, // 10
        CheckBack, // text between 15 and 16
        Authentication, // ESC "V" or ESC "X", logo and line in one call
        MonitoredAuthentication, // ESC "~1", the line, ESC "~0"
        Text,
    };

    Kind kind = Kind::Text;
    int firstCall = 0; // journal rows, both included
    int lastCall = 0;
    QDateTime time; // when the call that completed the job went out

    CheckFields check; // front and observations
    QByteArray printArguments; // what came between the number and the layout: "000N"
    QByteArray layout;

    QByteArray text; // cp1252: the back, the authentication line or the plain text
    QByteArray image; // bit image columns, bit 7 the top dot
    bool twice = false; // double authentication
    QDateTime waitStarted; // monitored: when ESC "~1" went out
    QDateTime lineTime; // monitored: when the line went out (invalid if it never did)
};

// Its members are all Qt's implicitly shared types: a list of a hundred thousand jobs grows by
// moving memory rather than moving job after job.
Q_DECLARE_TYPEINFO(CheckFields, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(PaperJob, Q_RELOCATABLE_TYPE);

// "Cheque: frente", "Autenticação dupla"...
[[nodiscard]] QString jobTitle(const PaperJob &job);
