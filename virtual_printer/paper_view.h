#pragma once

#include "virtual_printer/job_collector.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QLabel;
class QListView;
class QPushButton;
class QScrollArea;
class MessageSink;
class PaperJobModel;
class VirtualPrinter;

// What the printer printed: one picture per job, the chosen one shown fitted to the pane or
// zoomed; savable as PNG, exportable as PDF and printable.
class PaperView : public QWidget
{
    Q_OBJECT
public:
    // Zoom in percent of the saved picture's resolution; 0 fits the paper's width to the pane.
    static constexpr int kFit = 0;
    static constexpr int kMinZoom = 10;
    static constexpr int kMaxZoom = 200;

    PaperView(VirtualPrinter &printer, MessageSink &messages, QWidget *parent = nullptr);

    [[nodiscard]] int jobCount() const;
    // The picture of the chosen job as "Salvar imagem..." writes it; null when there is none.
    [[nodiscard]] QImage currentImage() const;
    void selectJob(int row);
    // The chosen job; null when there is none.
    [[nodiscard]] const PaperJob *currentJob() const;
    // These return the error, or an empty text.
    [[nodiscard]] QString saveImageTo(const QString &path);
    [[nodiscard]] QString exportPdfTo(const QString &path);

    [[nodiscard]] int zoom() const { return m_zoom; }
    void setZoom(int percent);
    // The scale the chosen job is shown at, fitted or zoomed.
    [[nodiscard]] double pixelsPerMm() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void entryAdded(int index);
    void rebuild();
    void scheduleRender();
    void renderNow();
    void zoomBy(int steps);
    [[nodiscard]] QString writeCurrent(const QString &path,
        const std::function<QByteArray(const PaperJob &)> &encode, const QString &failure) const;
    void saveAs(const QString &caption, const QString &name, const QString &filter,
        QString (PaperView::*write)(const QString &));
    void saveImage();
    void exportPdf();
    void print();

    VirtualPrinter &m_printer;
    MessageSink &m_messages;
    JobCollector m_collector;
    PaperJobModel *m_jobs;
    QListView *m_list;
    QLabel *m_picture;
    QScrollArea *m_scroll;
    QLabel *m_zoomShown;
    QList<QPushButton *> m_jobButtons; // usable only with a job chosen
    int m_zoom = kFit;
    bool m_stale = false; // the chosen job or the scale changed and is not drawn yet
};
