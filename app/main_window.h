#pragma once

#include "ui/services.h"

#include <QMap>
#include <QWidget>
#include <span>

namespace form {
struct Control;
}

class AuthWindow;
class CheckWindow;
class LineField;
class QAction;
class QLabel;
class QRadioButton;
class QTimer;
class TextWindow;

// "VOREL" (Form1): the port choice, the status panel and the way to every work window. Its
// context menu (right click on the background) reaches the printer setup.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(const Services &services, QWidget *parent = nullptr);
    // The table the window is built from: every control with its caption and place.
    [[nodiscard]] static std::span<const form::Control> table();

    // The selected port: 888 LPT1, 632 LPT2, 1 COM1, 2 COM2. Only this window writes it.
    int Porta = 888;

    // Reads the status once and shows its bits 0 to 7.
    void ReadPorts(int16_t BaseAddress);

    // Shows on each port option where that port goes (port code -> description).
    void describePorts(const QMap<int, QString> &descriptions);
    // Offers "Mostrar impressora virtual" once the shell has a window to show (a bare main
    // window has none).
    void offerVirtualPrinter(bool offered);
    // Reads the status again on LPT1/LPT2, after the printer behind the ports changed.
    void refreshStatus();
    [[nodiscard]] QString testLineText() const;
    // Checks "Gravar diário..." while the calls go to the journal at `path`; unchecks it when
    // `path` is empty.
    void showJournalRecording(const QString &path);

signals:
    void setupRequested();
    void virtualPrinterRequested();
    // "Gravar diário..." checked or unchecked.
    void journalRecordingRequested(bool on);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void selectPort(int code, bool refresh);
    // Shows the status of `port`; the reason when it could not be read.
    [[nodiscard]] QString showStatus(int16_t port);
    void readStatus();
    void followStatus();
    void sendTestLine();
    void openAuthentication();
    void openCheck();
    void openText();
    void openDrawer();
    void bringUp(QWidget *window);
    // Work windows read the port at each call, so a change of port reaches them at once.
    [[nodiscard]] PortaSource portaSource();

    Services m_services;
    LineField *m_testLine; // Text2
    QLabel *m_bits[8]; // lblDataBit0 to lblDataBit7
    QRadioButton *m_portOptions[4]; // Option1 to Option4: LPT1, LPT2, COM1, COM2
    QAction *m_showPrinter;
    QAction *m_continuousStatus;
    QAction *m_recordJournal;
    QTimer *m_statusTimer;
    AuthWindow *m_auth = nullptr;
    CheckWindow *m_check = nullptr;
    TextWindow *m_text = nullptr;
};
