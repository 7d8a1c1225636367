#pragma once

#include "virtual_printer/paper_job.h"

#include <QAbstractListModel>
#include <QVector>

// The printed jobs, newest last, named by title and time.
class PaperJobModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    [[nodiscard]] const PaperJob *job(int row) const;
    void append(const QVector<PaperJob> &jobs);
    void reset(QVector<PaperJob> jobs);

private:
    QVector<PaperJob> m_jobs;
};
