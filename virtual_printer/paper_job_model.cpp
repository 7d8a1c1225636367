#include "virtual_printer/paper_job_model.h"

int PaperJobModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_jobs.size());
}

QVariant PaperJobModel::data(const QModelIndex &index, int role) const
{
    const PaperJob *j = job(index.row());
    if (!j || !index.isValid() || role != Qt::DisplayRole)
        return {};
    return QStringLiteral("%1  %2").arg(
        j->time.toString(QStringLiteral("HH:mm:ss.zzz")), jobTitle(*j));
}

const PaperJob *PaperJobModel::job(int row) const
{
    return row >= 0 && row < m_jobs.size() ? &m_jobs.at(row) : nullptr;
}

void PaperJobModel::append(const QVector<PaperJob> &jobs)
{
    if (jobs.isEmpty())
        return;
    const int first = static_cast<int>(m_jobs.size());
    beginInsertRows({}, first, first + static_cast<int>(jobs.size()) - 1);
    m_jobs += jobs;
    endInsertRows();
}

void PaperJobModel::reset(QVector<PaperJob> jobs)
{
    beginResetModel();
    m_jobs = std::move(jobs);
    endResetModel();
}
