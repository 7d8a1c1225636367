#pragma once

#include "app/held_messages.h"
#include "app/options.h"
#include "app/settings.h"
#include "ui/real_services.h"

#include <QObject>
#include <QPointer>
#include <memory>

class JournalRecorder;
class LoggingLink;
class MainWindow;
class PrinterLink;
class PortsLink;
class PrinterSetupDialog;
class VirtualPrinter;
class VirtualPrinterWindow;

// The real collaborators and the windows, wired for the printer of the settings file with the
// command line over it. The windows hold one link for the whole run; the printer behind it
// changes when the setup dialog is accepted.
class Shell : public QObject
{
    Q_OBJECT
public:
    Shell(const Options &options, MessageSink &messages);
    ~Shell();

    // Shows the main window, then what went wrong at the start (the settings file, the printer)
    // and, with --setup, the setup dialog.
    void show();
    [[nodiscard]] MainWindow &mainWindow() { return *m_window; }
    // The printer in use now.
    [[nodiscard]] const PrinterSettings &printer() const { return m_printer; }
    // From the next call on, every window drives `printer`; no window loses what it holds.
    void apply(const PrinterSettings &printer);
    // "Configurar impressora...": "OK" applies the choice and writes the changes to the
    // settings file.
    void openSetup();
    // Adds every printer call from now on to the journal at `path`; the message when it cannot.
    [[nodiscard]] QString recordJournal(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The link to `printer`, made current; the one before is let go.
    PrinterLink &usePrinter(const PrinterSettings &printer);
    // The main window's port descriptions and menu follow the printer in use.
    void followPrinter();
    void showVirtualPrinter();
    // Where the window was left last time, moved onto the screen; else beside the main window.
    void placePrinterWindow(const QRect &kept);
    // Its place, panes and zoom, into the settings file when they changed.
    void keepPrinterWindow();
    void releasePorts();
    void accepted(const PrinterSettings &chosen);
    void journalRecordingRequested(bool on);
    void recordingFailed(const QString &message);
    void sendToPrinter(int first, int count);

    HeldMessages m_messages;
    BoxQuestion m_question;
    SystemClock m_clock;
    Options m_options;
    PrinterSettings m_printer;
    // Kept once made, so that its journal outlives a change to another printer and back.
    std::unique_ptr<VirtualPrinter> m_virtualPrinter;
    std::unique_ptr<PrinterLink> m_backend; // the ports or the library; none with the virtual one
    PortsLink *m_ports = nullptr; // m_backend when it is the ports
    // Between the windows' link and the printer, whichever it is.
    std::unique_ptr<JournalRecorder> m_recorder;
    std::unique_ptr<LoggingLink> m_link;
    std::unique_ptr<VirtualPrinterWindow> m_printerWindow;
    std::unique_ptr<MainWindow> m_window;
    QPointer<PrinterSetupDialog> m_setup;
    ViewerSettings m_keptViewer; // as read from the settings file, or written to it last
};
