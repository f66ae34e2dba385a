// The main window's keys and faster commands: every shortcut, the keys in the tooltips,
// keyboard focus for the toolbar, the day tabs' menu and "Copia settimana da…", the
// message dialog's access keys and the list choice dialog; no command takes a key the
// toolkit binds to a standard action (tests/app.cmake runs that check once more under the
// GNOME and KDE key schemes when a virtual X display is at hand).
#include "ChoiceDialog.h"
#include "MessageDialog.h"
#include "QuickCommands.h"
#include "ScriptedServices.h"
#include "Startup.h"
#include "TAlimpers.h"
#include "TForm1.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "Tutenti.h"
#include "WeeklyPlanner.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMetaEnum>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using What = ScriptedServices::What;

namespace {

// A started application in a scratch working folder with one person.
class Running {
public:
    Running() : previous_(QDir::currentPath())
    {
        QFile::copy(qEnvironmentVariable("NUTRILO_SHIPPED_DIR") + QStringLiteral("/default.jpg"),
                    db.folder() + QStringLiteral("/default.jpg"));
        db.addFood(QStringLiteral("Mela"), 52.0);
        anna = db.addPerson(QStringLiteral("Anna"));
        db.addMenuRow(anna, 101, QStringLiteral("Mela"), QStringLiteral("100"));
        QDir::setCurrent(db.folder());
        objects = Startup::create(*qApp);
        form()->endApplication = [this] { ++ended; };
        form()->show();
        form()->activateWindow();
    }
    ~Running()
    {
        Startup::destroy(objects);
        QDir::setCurrent(previous_);
    }
    TForm1* form() const { return objects.form; }
    QuickCommands* commands() const { return form()->findChild<QuickCommands*>(); }

    TestDatabase db;
    qint64 anna = 0;
    Startup::Objects objects;
    int ended = 0;

private:
    QString previous_;
};

// Presses a key on the focused control of the main window; closes whatever modal window
// the key opens and tells which one it was.
QString pressClosingModal(TForm1* form, QKeySequence key)
{
    QString opened;
    QTimer::singleShot(0, form, [&opened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = modal->objectName();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    });
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form;
    QTest::keySequence(target, key);
    // The main window becomes the active window again, as the desktop does when the user
    // closes a window (the offscreen platform leaves the hidden one active).
    QApplication::setActiveWindow(form);
    return opened;
}

} // namespace

class TestAppKeys : public QObject {
    Q_OBJECT
private slots:
    void everyShortcut();
    void tooltipsAndFocus();
    void noShortcutShadowsAStandardKey();
    void dayTabMenuAndCopyWeek();
    void messageDialogAccessKeys();
    void sharedAccessLetterDoesNothing();
    void choiceDialog();
};

void TestAppKeys::everyShortcut()
{
    ScriptedServices services;
    Running app;
    TForm1* form = app.form();
    QVERIFY(QTest::qWaitForWindowActive(form));
    services.clear();
    // With the cursor in a grams field, as while typing a week.
    QLineEdit* grams = form->planner()->slot(102).grams;
    grams->setFocus();
    QVERIFY(grams->hasFocus());

    // Save without changes does nothing; after a change it saves and clears the flag.
    QTest::keySequence(grams, QuickCommands::keyOf(QuickCommands::Save));
    QVERIFY(!form->salva->isEnabled());
    QTest::keyClicks(grams, "150");
    QVERIFY(form->salva->isEnabled());
    QTest::keySequence(grams, QuickCommands::keyOf(QuickCommands::Save));
    QVERIFY(!form->salva->isEnabled());
    QCOMPARE(app.db.rows("SELECT count(*) FROM dieta").first().first().toInt(), 1);

    // Next and previous day, round the week.
    QTest::keySequence(grams, QuickCommands::keyOf(QuickCommands::NextDay));
    QCOMPARE(form->PageControl1->currentIndex(), 1);
    form->PageControl1->setCurrentIndex(0);
    QTest::keySequence(form, QuickCommands::keyOf(QuickCommands::PreviousDay));
    QCOMPARE(form->PageControl1->currentIndex(), 6);
    QTest::keySequence(form, QuickCommands::keyOf(QuickCommands::NextDay));
    QCOMPARE(form->PageControl1->currentIndex(), 0);

    // The record windows and the print preview come up modally.
    grams->setFocus();
    QCOMPARE(pressClosingModal(form, QuickCommands::keyOf(QuickCommands::Users)),
             utenti->objectName());
    form->planner()->slot(103).food->setFocus();
    QCOMPARE(pressClosingModal(form, QuickCommands::keyOf(QuickCommands::Foods)),
             Alimpers->objectName());
    QVERIFY(!pressClosingModal(form, QuickCommands::keyOf(QuickCommands::Print)).isEmpty());

    // The nutrition summary comes up modally like the others.
    QCOMPARE(pressClosingModal(form, QuickCommands::keyOf(QuickCommands::Summary)),
             QStringLiteral("TRiepilogo"));

    // Exit asks about unsaved changes like the button.
    QTest::keyClicks(grams, "0");
    services.dialogAnswers.enqueue(Result::Cancel);
    QTest::keySequence(form, QuickCommands::keyOf(QuickCommands::Exit));
    QCOMPARE(services.callsOf(What::Dialog).size(), 1);
    QCOMPARE(app.ended, 0);
    services.dialogAnswers.enqueue(Result::No);
    QTest::keySequence(form, QuickCommands::keyOf(QuickCommands::Exit));
    QCOMPARE(app.ended, 1);
    // A control key that no command has is still refused in a grams field.
    services.clear();
    QTest::keyClick(grams, Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(services.callsOf(What::Beep).size(), 1);
    QCOMPARE(services.textsOf(What::ErrorReport), QStringList());
}

void TestAppKeys::tooltipsAndFocus()
{
    ScriptedServices services;
    Running app;
    TForm1* form = app.form();
    QCOMPARE(form->salva->toolTip(), QString("Memorizza utente (Ctrl+S)"));
    QCOMPARE(form->btnUtenti->toolTip(), QString("Gestione e inserimento utenti. \n(Alt+U)"));
    QCOMPARE(form->esci->toolTip(), QString("Esci (Ctrl+Q)"));
    QCOMPARE(QuickCommands::withKey("Riepilogo", QuickCommands::keyOf(QuickCommands::Summary)),
             QString("Riepilogo (Alt+R)"));
    // Every visible toolbar command takes the focus from Tab.
    for (QToolButton* button : form->Panel1->findChildren<QToolButton*>())
        if (button->isVisibleTo(form))
            QVERIFY2(button->focusPolicy() & Qt::TabFocus, qPrintable(button->objectName()));
    QCOMPARE(form->findChild<QPushButton*>("copiaGiorno1")->focusPolicy(), Qt::TabFocus);
}

void TestAppKeys::noShortcutShadowsAStandardKey()
{
    // Save, Print and Exit are the desktop's own keys on purpose; no command takes any
    // other key of the toolkit's standard actions (of the running desktop's scheme).
    using C = QuickCommands::Command;
    const QList<QPair<C, QKeySequence::StandardKey>> commands{
        {C::Save, QKeySequence::Save},          {C::Print, QKeySequence::Print},
        {C::Users, QKeySequence::UnknownKey},   {C::Foods, QKeySequence::UnknownKey},
        {C::Summary, QKeySequence::UnknownKey}, {C::Exit, QKeySequence::Quit},
        {C::NextDay, QKeySequence::UnknownKey}, {C::PreviousDay, QKeySequence::UnknownKey}};
    const QMetaEnum standard = QMetaEnum::fromType<QKeySequence::StandardKey>();
    QStringList clashes;
    for (const auto& [command, meant] : commands) {
        const QKeySequence key = QuickCommands::keyOf(command);
        for (int i = 0; i < standard.keyCount(); ++i) {
            const auto action = QKeySequence::StandardKey(standard.value(i));
            if (action != meant && QKeySequence::keyBindings(action).contains(key))
                clashes << key.toString() + " = " + standard.key(i);
        }
    }
    QCOMPARE(clashes, QStringList());

    // In the person chooser Ctrl+U is the field's own: it opens no window, and deletes the
    // line where the desktop binds it so; the people window's key works from there.
    ScriptedServices services;
    Running app;
    TForm1* form = app.form();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QLineEdit* chooser = form->dbnome->lineEdit();
    chooser->setFocus();
    QCOMPARE(chooser->text(), QStringLiteral("Anna"));
    const QKeySequence ctrlU(Qt::CTRL | Qt::Key_U);
    QCOMPARE(pressClosingModal(form, ctrlU), QString());
    const bool deletesLine =
        QKeySequence::keyBindings(QKeySequence::DeleteCompleteLine).contains(ctrlU);
    QCOMPARE(chooser->text(), deletesLine ? QString() : QStringLiteral("Anna"));
    chooser->setFocus();
    QCOMPARE(pressClosingModal(form, QuickCommands::keyOf(C::Users)), utenti->objectName());
}

void TestAppKeys::dayTabMenuAndCopyWeek()
{
    ScriptedServices services;
    Running app;
    TForm1* form = app.form();
    services.clear();
    // The day tab's menu: "Copia giorno…" of that day, then "What's this?".
    std::unique_ptr<QMenu> menu(app.commands()->tabMenu(2));
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.first()->text(), QString("Copia giorno…"));
    QCOMPARE(actions.last()->text(), QString("What's this?"));
    actions.first()->trigger();
    QCOMPARE(services.textsOf(What::Choice),
             QStringList{"Copiare gli alimenti di Mercoledì nei giorni:"});

    // "Copia settimana da…" stands after the print and summary buttons.
    QToolButton* copy = app.commands()->copiaSettimana;
    QCOMPARE(copy->text(), QString("Copia settimana da…"));
    QVERIFY(copy->isVisible());
    QVERIFY(copy->x() > form->riepilogo->x());
    QVERIFY(form->riepilogo->x() > form->stamp->x());
    copy->click();
    QCOMPARE(services.textsOf(What::Plain),
             QStringList{"Non ci sono altre persone da cui copiare la settimana."});
}

void TestAppKeys::messageDialogAccessKeys()
{
    struct Case {
        int buttons;
        QStringList captions;
        QKeyCombination key;
        int code; // 0: the key does nothing
    };
    const QStringList question{"Si", "No", "Annulla"};
    const QList<Case> cases = {
        {11, question, QKeyCombination(Qt::Key_S), Result::Yes},
        {11, question, QKeyCombination(Qt::Key_N), Result::No},
        {11, question, QKeyCombination(Qt::Key_A), Result::Cancel},
        {11, question, QKeyCombination(Qt::AltModifier, Qt::Key_S), Result::Yes},
        {11, question, QKeyCombination(Qt::Key_X), 0},
        {11, question, QKeyCombination(Qt::ControlModifier, Qt::Key_S), 0},
        {1, {"Ok"}, QKeyCombination(Qt::Key_O), Result::Yes},
    };
    for (const Case& c : cases) {
        MessageDialog dialog("Salvare?", MessageKind::Confirmation, c.buttons, c.captions,
                             "Nutrilo 1.0");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.setResult(0);
        QTest::keyClick(&dialog, c.key.key(), c.key.keyboardModifiers());
        QCOMPARE(dialog.result(), c.code);
        // The captions stay as they were given; the tooltip shows the key after them.
        for (int i = 0; i < c.captions.size(); ++i) {
            QCOMPARE(dialog.buttons().at(i)->text(), c.captions.at(i));
            QCOMPARE(dialog.buttons().at(i)->toolTip(),
                     c.captions.at(i) + " (" + c.captions.at(i).left(1).toUpper() + ")");
        }
    }
}

void TestAppKeys::sharedAccessLetterDoesNothing()
{
    MessageDialog dialog("Salvare?", MessageKind::Confirmation, 3, {"Salva", "Scarta"},
                         "Nutrilo 1.0");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.setResult(0);
    QTest::keyClick(&dialog, Qt::Key_S);
    QCOMPARE(dialog.result(), 0);
    QCOMPARE(dialog.buttons().first()->toolTip(), QString());
}

void TestAppKeys::choiceDialog()
{
    ChoiceDialog several("Giorni:", {"Lunedi", "Martedì", "Mercoledì"}, true);
    QVERIFY(!several.okButton()->isEnabled());
    several.list()->item(2)->setCheckState(Qt::Checked);
    several.list()->item(0)->setCheckState(Qt::Checked);
    QVERIFY(several.okButton()->isEnabled());
    QCOMPARE(several.chosen(), QList<int>({0, 2}));

    ChoiceDialog one("Persona:", {"Anna", "Bruno"}, false);
    QCOMPARE(one.chosen(), QList<int>{0});
    one.list()->setCurrentRow(1);
    QCOMPARE(one.chosen(), QList<int>{1});
}

NUTRILO_TEST_MAIN(TestAppKeys)
#include "test_app_keys.moc"
