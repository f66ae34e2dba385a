#include "DesktopServices.h"

#include "AppTexts.h"
#include "ChoiceDialog.h"
#include "HelpWindow.h"
#include "MessageDialog.h"
#include "SystemSound.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <QWhatsThis>

namespace {

// A message box with one "OK" button, modal to the active window.
void showBox(QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("messageBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

int DesktopServices::mostramessaggio(const QString& text, MessageKind kind, int buttons,
                                     const QStringList& captions, const QString& caption)
{
    MessageDialog dialog(text, kind, buttons, captions, caption, QApplication::activeWindow());
    // The dialog comes up only after the kind's sound has ended.
    const QString alias = MessageDialog::soundAlias(kind);
    if (!alias.isEmpty())
        playSound(alias);
    return dialog.exec();
}

void DesktopServices::plainMessage(const QString& text)
{
    showBox(QMessageBox::NoIcon, AppTexts::applicationTitle(), text);
}

void DesktopServices::errorBox(const QString& text)
{
    showBox(QMessageBox::Critical, QStringLiteral("Error"), text);
}

void DesktopServices::errorReport(const QString& text)
{
    showBox(QMessageBox::Critical, AppTexts::applicationTitle(), text);
}

void DesktopServices::applicationError(const QString& text)
{
    showBox(QMessageBox::Critical, QStringLiteral("Application Error"), text);
}

void DesktopServices::beep()
{
    QApplication::beep();
}

void DesktopServices::playSound(const QString& alias)
{
    SystemSound::playAndWait(alias);
}

void DesktopServices::openUrl(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url));
}

void DesktopServices::showHelp(const QString& helpFile, int context, bool popup)
{
    if (popup) {
        QWhatsThis::showText(QCursor::pos(), HelpWindow::topicHtml(helpFile, context));
        return;
    }
    HelpWindow* window = HelpWindow::instance();
    window->showTopic(helpFile, context);
    window->show();
    window->raise();
    window->activateWindow();
}

QString DesktopServices::choosePictureFile(const QString& filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(), filter);
}

QString DesktopServices::chooseSaveFile(const QString& proposedName, const QString& filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), proposedName,
                                        filter);
}

bool DesktopServices::choosePrinter(QPrinter& printer)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    return dialog.exec() == QDialog::Accepted;
}

QList<int> DesktopServices::chooseEntries(const QString& prompt, const QStringList& entries,
                                          bool several)
{
    ChoiceDialog dialog(prompt, entries, several, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosen();
}
