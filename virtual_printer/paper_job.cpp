#include "virtual_printer/paper_job.h"

QString jobTitle(const PaperJob &job)
{
    switch (job.kind) {
    case PaperJob::Kind::CheckFront:
        return QStringLiteral("Cheque: frente");
    case PaperJob::Kind::CheckObservations:
        return QStringLiteral("Cheque: só observações");
    case PaperJob::Kind::CheckBack:
        return QStringLiteral("Cheque: verso");
    case PaperJob::Kind::Authentication:
        return job.twice ? QStringLiteral("Autenticação dupla")
                         : QStringLiteral("Autenticação simples");
    case PaperJob::Kind::MonitoredAuthentication:
        return QStringLiteral("Autenticação monitorada");
    case PaperJob::Kind::Text:
        return QStringLiteral("Texto");
    }
    return {};
}
