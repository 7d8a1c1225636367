#pragma once

#include "virtual_printer/job_collector.h"

#include <QImage>
#include <QWidget>

class QLabel;
class QListView;
class QScrollArea;
class MessageSink;
class PaperJobModel;
class VirtualPrinter;

// What the printer printed: one picture per job, the chosen one shown, savable as PNG.
class PaperView : public QWidget
{
    Q_OBJECT
public:
    PaperView(VirtualPrinter &printer, MessageSink &messages, QWidget *parent = nullptr);

    [[nodiscard]] int jobCount() const;
    // The picture of the chosen job; null when there is none.
    [[nodiscard]] QImage currentImage();
    void selectJob(int row);
    // The chosen job; null when there is none.
    [[nodiscard]] const PaperJob *currentJob() const;
    // Returns the error, or an empty text.
    [[nodiscard]] QString saveImageTo(const QString &path);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void entryAdded(int index);
    void rebuild();
    void scheduleRender();
    void saveImage();
    void fitPicture();
    void renderNow();

    VirtualPrinter &m_printer;
    MessageSink &m_messages;
    JobCollector m_collector;
    PaperJobModel *m_jobs;
    QListView *m_list;
    QLabel *m_picture;
    QScrollArea *m_scroll;
    QImage m_image;
    bool m_stale = false; // the chosen job changed and is not drawn yet
};
