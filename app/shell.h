#pragma once

#include "app/options.h"
#include "ui/real_services.h"

#include <QObject>
#include <memory>

class MainWindow;
class PrinterLink;
class VirtualPrinter;
class VirtualPrinterWindow;

// The real collaborators and the windows, wired as the command line asks.
class Shell : public QObject
{
    Q_OBJECT
public:
    explicit Shell(const Options &options);
    ~Shell();

    void show();
    [[nodiscard]] MainWindow &mainWindow() { return *m_window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showVirtualPrinter();

    BoxMessageSink m_messages;
    SystemClock m_clock;
    std::unique_ptr<PrinterLink> m_backend;
    std::unique_ptr<PrinterLink> m_link;
    VirtualPrinter *m_virtualPrinter = nullptr;
    std::unique_ptr<VirtualPrinterWindow> m_printerWindow;
    std::unique_ptr<MainWindow> m_window;
};
