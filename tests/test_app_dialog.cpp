// The message dialog as the user meets it: buttons, captions, keys, close box, and the
// desktop services' sound-then-dialog path without a sound service.
#include "DesktopServices.h"
#include "HelpWindow.h"
#include "MessageDialog.h"
#include "SystemSound.h"
#include "TestMain.h"
#include "Tsplash.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <functional>

namespace {

QStringList texts(const MessageDialog& dialog)
{
    QStringList out;
    for (QPushButton* button : dialog.buttons())
        out << button->text();
    return out;
}

QStringList names(const MessageDialog& dialog)
{
    QStringList out;
    for (QPushButton* button : dialog.buttons())
        out << button->objectName();
    return out;
}

// Runs `inside` once the modal dialog is up, then returns the dialog's result.
int execWith(QDialog& dialog, const std::function<void(QDialog&)>& inside)
{
    QTimer::singleShot(0, &dialog, [&dialog, inside] {
        QTRY_VERIFY(dialog.isVisible());
        inside(dialog);
        // Whatever the keys did not end is ended by the close box.
        if (dialog.isVisible())
            dialog.close();
    });
    return dialog.exec();
}

} // namespace

class TestAppDialog : public QObject {
    Q_OBJECT
private slots:
    void buttonsInFixedOrderWithCaptions_data();
    void buttonsInFixedOrderWithCaptions();
    void rowIsEqualWidthAndCentred();
    void keysAndCloseBox_data();
    void keysAndCloseBox();
    void clickedButtonGivesItsCode();
    void titleIconTextAndSound();
    void desktopServicesShowTheDialogWithoutASoundService();
    void helpWindowTopicsAndMissingTopics();
    void boxesOutliveTheSplash();
    void printDialogOffersPrinterAndCopiesOnly();
    void noPrinterIsSaidBeforeTheDialog();
};

void TestAppDialog::buttonsInFixedOrderWithCaptions_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("expectedTexts");
    QTest::addColumn<QStringList>("expectedNames");

    QTest::newRow("question 11") << 11 << QStringList{"Si", "No", "Annulla"}
                                 << QStringList{"Si", "No", "Annulla"}
                                 << QStringList{"btnYes", "btnNo", "btnCancel"};
    QTest::newRow("error 1, Ok") << 1 << QStringList{"Ok"} << QStringList{"Ok"}
                                 << QStringList{"btnYes"};
    QTest::newRow("fewer captions keep standard ones")
        << 15 << QStringList{"Va bene"} << QStringList{"Va bene", "&No", "OK", "Cancel"}
        << QStringList{"btnYes", "btnNo", "btnOk", "btnCancel"};
    QTest::newRow("extra captions ignored")
        << 12 << QStringList{"Ok", "Annulla", "Altro"} << QStringList{"Ok", "Annulla"}
        << QStringList{"btnOk", "btnCancel"};
    QTest::newRow("no captions") << 6 << QStringList{} << QStringList{"&No", "OK"}
                                 << QStringList{"btnNo", "btnOk"};
}

void TestAppDialog::buttonsInFixedOrderWithCaptions()
{
    QFETCH(int, set);
    QFETCH(QStringList, captions);
    MessageDialog dialog(QStringLiteral("Testo"), MessageKind::Confirmation, set, captions,
                         QStringLiteral("Nutrilo 1.0"));
    QFETCH(QStringList, expectedTexts);
    QFETCH(QStringList, expectedNames);
    QCOMPARE(texts(dialog), expectedTexts);
    QCOMPARE(names(dialog), expectedNames);
}

void TestAppDialog::rowIsEqualWidthAndCentred()
{
    MessageDialog dialog(QStringLiteral("Salvare le modifiche alla dieta?"),
                         MessageKind::Confirmation, 11,
                         {QStringLiteral("Si"), QStringLiteral("No"),
                          QStringLiteral("Annulla con una scritta lunga")},
                         QStringLiteral("Nutrilo 1.0"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const auto& buttons = dialog.buttons();
    QCOMPARE(buttons.size(), 3);
    for (QPushButton* button : buttons)
        QCOMPARE(button->width(), buttons.first()->width());
    QVERIFY(buttons[0]->x() < buttons[1]->x());
    QVERIFY(buttons[1]->x() < buttons[2]->x());
    // The row sits in the middle of the dialog.
    const int left = buttons.first()->geometry().left();
    const int right = dialog.width() - buttons.last()->geometry().right();
    QVERIFY2(qAbs(left - right) <= 3, qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));
    // The icon is left of the text.
    auto* icon = dialog.findChild<QLabel*>(QStringLiteral("icon"));
    auto* text = dialog.findChild<QLabel*>(QStringLiteral("text"));
    QVERIFY(icon && text);
    QVERIFY(icon->geometry().right() < text->geometry().left());
    QVERIFY(!icon->pixmap().isNull());
}

void TestAppDialog::keysAndCloseBox_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("key"); // 0: only the close box
    QTest::addColumn<int>("expected");

    QTest::newRow("11 Enter") << 11 << int(Qt::Key_Return) << 6;
    QTest::newRow("11 keypad Enter") << 11 << int(Qt::Key_Enter) << 6;
    QTest::newRow("11 Esc") << 11 << int(Qt::Key_Escape) << 2;
    QTest::newRow("11 close box") << 11 << 0 << 2;
    QTest::newRow("1 Enter") << 1 << int(Qt::Key_Return) << 6;
    // Esc does nothing; the close box afterwards gives 2.
    QTest::newRow("1 Esc does nothing") << 1 << int(Qt::Key_Escape) << 2;
    QTest::newRow("1 close box") << 1 << 0 << 2;
    QTest::newRow("4 Enter") << 4 << int(Qt::Key_Return) << 1;
    QTest::newRow("4 Esc") << 4 << int(Qt::Key_Escape) << 1;
    QTest::newRow("4 close box") << 4 << 0 << 2;
    QTest::newRow("5 Enter prefers OK") << 5 << int(Qt::Key_Return) << 1;
    QTest::newRow("3 Esc gives No") << 3 << int(Qt::Key_Escape) << 7;
    QTest::newRow("7 Esc prefers No over OK") << 7 << int(Qt::Key_Escape) << 7;
    QTest::newRow("2 Enter does nothing") << 2 << int(Qt::Key_Return) << 2;
    QTest::newRow("12 Esc") << 12 << int(Qt::Key_Escape) << 2;
}

void TestAppDialog::keysAndCloseBox()
{
    QFETCH(int, set);
    QFETCH(int, key);
    QFETCH(int, expected);
    MessageDialog dialog(QStringLiteral("Testo"), MessageKind::Error, set, {},
                         QStringLiteral("Nutrilo 1.0"));
    bool stillOpenAfterKey = false;
    const int result = execWith(dialog, [&](QDialog& d) {
        if (key != 0) {
            QTest::keyClick(&d, Qt::Key(key),
                            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            stillOpenAfterKey = d.isVisible();
        }
    });
    QCOMPARE(result, expected);
    // The keys that do nothing leave the dialog open.
    const bool keyShouldDoNothing =
        (set == 1 && key == Qt::Key_Escape) || (set == 2 && key == Qt::Key_Return);
    if (key != 0)
        QCOMPARE(stillOpenAfterKey, keyShouldDoNothing);
}

void TestAppDialog::clickedButtonGivesItsCode()
{
    const QList<QPair<QString, int>> cases = {
        {"btnYes", 6}, {"btnNo", 7}, {"btnOk", 1}, {"btnCancel", 2}};
    for (const auto& [name, code] : cases) {
        MessageDialog dialog(QStringLiteral("Testo"), MessageKind::Information, 15, {},
                             QStringLiteral("Nutrilo 1.0"));
        const int result = execWith(dialog, [name = name](QDialog& d) {
            QTest::mouseClick(d.findChild<QPushButton*>(name), Qt::LeftButton);
        });
        QCOMPARE(result, code);
    }
}

void TestAppDialog::titleIconTextAndSound()
{
    MessageDialog dialog(QStringLiteral("Prima riga\rseconda riga"), MessageKind::Warning, 4, {},
                         QStringLiteral("Titolo"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Titolo"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("text"))->text(),
             QStringLiteral("Prima riga\nseconda riga"));

    QCOMPARE(MessageDialog::soundAlias(MessageKind::Warning), QStringLiteral("SystemAsterisk"));
    QCOMPARE(MessageDialog::soundAlias(MessageKind::Information),
             QStringLiteral("SystemExclamation"));
    QCOMPARE(MessageDialog::soundAlias(MessageKind::Confirmation),
             QStringLiteral("SystemExclamation"));
    QVERIFY(MessageDialog::soundAlias(MessageKind::Error).isEmpty());
    QCOMPARE(SystemSound::eventId(QStringLiteral("SystemAsterisk")),
             QStringLiteral("dialog-warning"));
    QCOMPARE(SystemSound::eventId(QStringLiteral("SystemExclamation")),
             QStringLiteral("dialog-information"));
    QVERIFY(SystemSound::eventId(QStringLiteral("Nessuno")).isEmpty());
    // An unknown alias plays nothing and returns.
    SystemSound::playAndWait(QStringLiteral("Nessuno"));
}

void TestAppDialog::desktopServicesShowTheDialogWithoutASoundService()
{
    DesktopServices services;
    QTimer::singleShot(0, [] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        QWidget* dialog = QApplication::activeModalWidget();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Nutrilo 1.0"));
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    const int answer = services.mostramessaggio(
        QStringLiteral("Salvare?"), MessageKind::Confirmation, 11,
        {QStringLiteral("Si"), QStringLiteral("No"), QStringLiteral("Annulla")},
        QStringLiteral("Nutrilo 1.0"));
    QCOMPARE(answer, 2);
}

void TestAppDialog::helpWindowTopicsAndMissingTopics()
{
    QVERIFY(HelpWindow::isOurHelpFile(QStringLiteral("Nutrilo1.hlp")));
    QVERIFY(HelpWindow::isOurHelpFile(QStringLiteral("NUTRILO1.HLP")));
    QVERIFY(!HelpWindow::isOurHelpFile(QStringLiteral("Altro.hlp")));

    HelpWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("helpWindow"));
    window.showTopic(QStringLiteral("Nutrilo1.hlp"), 1);
    QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("finestra principale")));
    window.showTopic(QStringLiteral("Nutrilo1.hlp"), 9999);
    QVERIFY(window.browser()->toPlainText().contains(
        QStringLiteral("Argomento della guida non trovato: 9999")));
    window.showTopic(QStringLiteral("Altro.hlp"), 1);
    QVERIFY(window.browser()->toPlainText().contains(
        QStringLiteral("File della guida non trovato: Altro.hlp")));
    // Every topic links only to topics that exist.
    for (int context :
         {1, 2, 3, 5, 7, 11, 12, 13, 14, 26, 27, 28, 29, 30, 40, 50, 550, 60, 61, 62, 63, 64}) {
        const QString html = HelpWindow::topicHtml(QStringLiteral("Nutrilo1.hlp"), context);
        QVERIFY2(!html.contains(QStringLiteral("non trovato")),
                 qPrintable(QString::number(context)));
        static const QRegularExpression link(QStringLiteral("href=\"(\\d+)\\.html\""));
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const int target = it.next().captured(1).toInt();
            QVERIFY2(!HelpWindow::topicPath(target).isEmpty(),
                     qPrintable(QStringLiteral("%1 -> %2").arg(context).arg(target)));
        }
    }

    // Asked for from a modal window, the help window belongs to it (above it, and not
    // blocked by it); from no modal window it stands on its own.
    DesktopServices services;
    QDialog modal;
    bool owned = false;
    QTimer::singleShot(0, &modal, [&] {
        services.showHelp(QStringLiteral("Nutrilo1.hlp"), 63, false);
        owned = HelpWindow::instance()->parentWidget() == &modal &&
                HelpWindow::instance()->isWindow() && HelpWindow::instance()->isVisible();
        modal.reject();
    });
    modal.exec();
    QVERIFY(owned);
    services.showHelp(QStringLiteral("Nutrilo1.hlp"), 1, false);
    QVERIFY(!HelpWindow::instance()->parentWidget());
    QVERIFY(HelpWindow::instance()->isVisible());
    HelpWindow::instance()->close();
}

void TestAppDialog::boxesOutliveTheSplash()
{
    DesktopServices services;
    const QList<std::function<void()>> boxes{
        [&] { services.plainMessage(QStringLiteral("Immagine mancante")); },
        [&] { services.errorBox(QStringLiteral("Valore non calcolabile")); },
        [&] {
            services.mostramessaggio(QStringLiteral("Attenzione"), MessageKind::Warning,
                                     Buttons::Ok, {QStringLiteral("Ok")},
                                     QStringLiteral("Nutrilo 1.0"));
        }};
    for (const auto& show : boxes) {
        auto* window = new Tsplash;
        QPointer<Tsplash> watch = window;
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QPointer<QWidget> box;
        bool childOfSplash = true;
        bool survived = false;
        // Once the box is up the splash's time runs out; the box is closed after that.
        QTimer::singleShot(0, [&] {
            box = QApplication::activeModalWidget();
            childOfSplash = box && box->parentWidget() == window;
            if (childOfSplash) {
                box->close();
                return;
            }
            window->Timer1Timer();
            QTimer::singleShot(0, [&] {
                QTimer::singleShot(0, [&] {
                    survived = watch.isNull() && box && box->isVisible();
                    if (box)
                        box->close();
                });
            });
        });
        show();
        QVERIFY(!childOfSplash);
        QVERIFY(survived);
        delete watch.data();
    }
}

void TestAppDialog::printDialogOffersPrinterAndCopiesOnly()
{
    DesktopServices services;
    const auto saved = DesktopServices::printerInstalled;
    DesktopServices::printerInstalled = [] { return true; };
    QPrinter printer;
    QStringList shown;
    QStringList offered;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        for (const char* name : {"gbPrintRange", "pageSetLabel", "pageSetCombo"})
            if (auto* part = dialog->findChild<QWidget*>(QLatin1String(name)))
                if (!part->isHidden() || part->isEnabled())
                    shown << QLatin1String(name);
        for (const char* name : {"printers", "copies"})
            if (auto* part = dialog->findChild<QWidget*>(QLatin1String(name)))
                if (!part->isHidden() && part->isEnabled())
                    offered << QLatin1String(name);
        dialog->reject();
    });
    const bool chosen = services.choosePrinter(printer);
    DesktopServices::printerInstalled = saved;
    QVERIFY(!chosen);
    QCOMPARE(shown, QStringList());
    QCOMPARE(offered, (QStringList{"printers", "copies"}));
}

void TestAppDialog::noPrinterIsSaidBeforeTheDialog()
{
    DesktopServices services;
    const auto saved = DesktopServices::printerInstalled;
    DesktopServices::printerInstalled = [] { return false; };
    QPrinter printer;
    QString text;
    bool printDialog = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        printDialog = qobject_cast<QPrintDialog*>(box);
        if (auto* label = box ? box->findChild<QLabel*>(QStringLiteral("text")) : nullptr)
            text = label->text();
        if (box)
            box->close();
    });
    const bool chosen = services.choosePrinter(printer);
    DesktopServices::printerInstalled = saved;
    QVERIFY(!chosen);
    QVERIFY(!printDialog);
    QVERIFY2(text.startsWith(QStringLiteral("Nessuna stampante installata")), qPrintable(text));
}

NUTRILO_TEST_MAIN(TestAppDialog)
#include "test_app_dialog.moc"
