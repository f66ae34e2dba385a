#pragma once

#include "UserServices.h"

#include <QPointer>
#include <functional>

class QLabel;

// The user services of the running application: the real message dialog and boxes,
// the system sounds, the desktop's browser, the file and print dialogs, and our help.
class DesktopServices final : public UserServices {
public:
    int mostramessaggio(const QString& text, MessageKind kind, int buttons,
                        const QStringList& captions, const QString& caption) override;
    void plainMessage(const QString& text) override;
    void errorBox(const QString& text) override;
    void errorReport(const QString& text) override;
    void applicationError(const QString& text) override;
    void beep() override;
    void playSound(const QString& alias) override;
    void openUrl(const QString& url) override;
    void showHelp(const QString& helpFile, int context, bool popup) override;
    QString choosePictureFile(const QString& filter) override;
    QString chooseSaveFile(const QString& proposedName, const QString& filter) override;
    bool choosePrinter(QPrinter& printer) override;
    QList<int> chooseEntries(const QString& prompt, const QStringList& entries,
                             bool several) override;
    // A small window of its own, in the middle of the screen, named "avvisoAttesa".
    QStringList askTexts(const QString& prompt, const QStringList& labels,
                         const QStringList& proposed) override;
    void waitNotice(const QString& text) override;

    // Whether the system has a printer; without one the print dialog is not shown and
    // the user is told so. Tests replace it.
    static std::function<bool()> printerInstalled;
    static QString noPrinterMessage();

private:
    QPointer<QLabel> notice_;
};
