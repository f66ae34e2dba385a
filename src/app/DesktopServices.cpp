#include "DesktopServices.h"

#include "AppTexts.h"
#include "ChoiceDialog.h"
#include "HelpWindow.h"
#include "MessageDialog.h"
#include "SystemSound.h"
#include "Tsplash.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QWhatsThis>

namespace {

// The parent of a dialog or box: the active window, but never the splash window, which
// releases itself on its timer and would take an open box with it.
QWidget* dialogParent()
{
    QWidget* active = QApplication::activeWindow();
    if (active && qobject_cast<Tsplash*>(active->window()))
        return nullptr;
    return active;
}

// Keeps only the printer and the number of copies in the print dialog. Qt's own dialog
// on Linux shows the page range and the page set whatever its options say, so those
// groups are switched off and hidden each time they would come up.
class PrinterAndCopiesOnly : public QObject {
public:
    explicit PrinterAndCopiesOnly(QPrintDialog& dialog) : QObject(&dialog), dialog_(dialog)
    {
        dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &dialog_ && event->type() == QEvent::Show) {
            for (const char* name : {"gbPrintRange", "pageSetLabel", "pageSetCombo"})
                if (auto* part = dialog_.findChild<QWidget*>(QLatin1String(name))) {
                    part->setEnabled(false);
                    part->hide();
                    part->installEventFilter(this);
                }
        } else if (watched != &dialog_ && event->type() == QEvent::ShowToParent) {
            QMetaObject::invokeMethod(static_cast<QWidget*>(watched), &QWidget::hide,
                                      Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPrintDialog& dialog_;
};

// A message box with one "OK" button, modal to the active window.
void showBox(QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, dialogParent());
    box.setObjectName(QStringLiteral("messageBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

int DesktopServices::mostramessaggio(const QString& text, MessageKind kind, int buttons,
                                     const QStringList& captions, const QString& caption)
{
    MessageDialog dialog(text, kind, buttons, captions, caption, dialogParent());
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
    // Opened from a modal window (the food window, the summary, a list), the help belongs to
    // that window: a window of its own would open beneath it and take no input while it is
    // open. Otherwise it stands on its own again.
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == window)
        owner = window->parentWidget();
    if (window->parentWidget() != owner)
        window->setParent(owner, window->windowFlags());
    window->showTopic(helpFile, context);
    window->show();
    window->raise();
    window->activateWindow();
}

QString DesktopServices::choosePictureFile(const QString& filter)
{
    return QFileDialog::getOpenFileName(dialogParent(), QString(), QString(), filter);
}

QString DesktopServices::chooseSaveFile(const QString& proposedName, const QString& filter)
{
    return QFileDialog::getSaveFileName(dialogParent(), QString(), proposedName, filter);
}

std::function<bool()> DesktopServices::printerInstalled = [] {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
};

bool DesktopServices::choosePrinter(QPrinter& printer)
{
    // Without a printer the dialog could only fail: the user is told why instead.
    if (!printerInstalled || !printerInstalled()) {
        mostramessaggio(noPrinterMessage(), MessageKind::Warning, Buttons::Ok,
                        {QStringLiteral("Ok")}, AppTexts::dialogCaption());
        return false;
    }
    QPrintDialog dialog(&printer, dialogParent());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    new PrinterAndCopiesOnly(dialog);
    return dialog.exec() == QDialog::Accepted;
}

QList<int> DesktopServices::chooseEntries(const QString& prompt, const QStringList& entries,
                                          bool several)
{
    ChoiceDialog dialog(prompt, entries, several, dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosen();
}

QStringList DesktopServices::askTexts(const QString& prompt, const QStringList& labels,
                                      const QStringList& proposed)
{
    QDialog dialog(dialogParent());
    dialog.setObjectName(QStringLiteral("testiDialog"));
    dialog.setWindowTitle(AppTexts::dialogCaption());
    auto* form = new QFormLayout(&dialog);
    auto* text = new QLabel(prompt, &dialog);
    text->setObjectName(QStringLiteral("testiDomanda"));
    text->setWordWrap(true);
    form->addRow(text);
    QList<QLineEdit*> fields;
    for (int i = 0; i < labels.size(); ++i) {
        auto* field = new QLineEdit(proposed.value(i), &dialog);
        field->setObjectName(QStringLiteral("testo%1").arg(i + 1));
        field->setAccessibleName(labels.at(i));
        field->setMinimumWidth(260);
        auto* label = new QLabel(labels.at(i), &dialog);
        label->setBuddy(field);
        form->addRow(label, field);
        fields << field;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->setObjectName(QStringLiteral("testiPulsanti"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QStringList typed;
    for (QLineEdit* field : fields)
        typed << field->text();
    return typed;
}

void DesktopServices::waitNotice(const QString& text)
{
    if (text.isEmpty()) {
        delete notice_;
        return;
    }
    if (!notice_) {
        notice_ = new QLabel;
        notice_->setObjectName(QStringLiteral("avvisoAttesa"));
        notice_->setAccessibleName(QStringLiteral("Avviso di attesa"));
        notice_->setWindowTitle(AppTexts::dialogCaption());
        notice_->setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
        notice_->setAttribute(Qt::WA_DeleteOnClose);
        notice_->setTextFormat(Qt::PlainText);
        notice_->setWordWrap(true);
        notice_->setMargin(16);
        notice_->setMinimumWidth(360);
    }
    notice_->setText(text);
    notice_->adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = notice_->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        notice_->move(frame.topLeft());
    }
    notice_->show();
    notice_->raise();
}

QString DesktopServices::noPrinterMessage()
{
    return QStringLiteral("Nessuna stampante installata.") + QLatin1Char('\r') +
           QStringLiteral("La dieta si può salvare come file RTF.");
}
