#include "Startup.h"

#include "Accessibility.h"
#include "AppError.h"
#include "AppTexts.h"
#include "ContextHelp.h"
#include "DatabaseBackup.h"
#include "DesktopServices.h"
#include "HelpContext.h"
#include "ItalianText.h"
#include "NutriloApplication.h"
#include "PostgresStore.h"
#include "PrivateFiles.h"
#include "StoreLocation.h"
#include "TAlimpers.h"
#include "TDM.h"
#include "TForm1.h"
#include "Tsplash.h"
#include "Tutenti.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QUrl>
#include <memory>
#include <thread>

Tutenti* utenti = nullptr;
TAlimpers* Alimpers = nullptr;
std::function<void(Startup::Step)> Startup::observer;

namespace {

void reached(Startup::Step step)
{
    if (Startup::observer)
        Startup::observer(step);
}

// Waits until the server of the URI answers, or its timeout has passed, with the event loop
// running: a wait cursor, and after two seconds a notice that says what is awaited and for
// how long. The connection is tried in a thread of its own (a connection belongs to the
// thread that made it, so it is left there); the data module then connects in this one.
// Throws DatabaseError when the server cannot be used.
void waitForServer(const QString& uri)
{
    QString failure;
    QEventLoop loop;
    std::thread attempt([&] {
        try {
            PostgresStore::probe(uri);
        } catch (const AppError& e) {
            failure = e.message();
        } catch (const std::exception& e) {
            failure = QString::fromUtf8(e.what());
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    const QUrl url(uri);
    const int seconds = PostgresStore::connectTimeout(uri);
    const QString server = QStringLiteral("%1:%2")
                               .arg(url.host().isEmpty() ? QStringLiteral("localhost") : url.host())
                               .arg(url.port(5432));
    QTimer later;
    later.setSingleShot(true);
    bool noticed = false;
    QObject::connect(&later, &QTimer::timeout, [&] {
        noticed = true;
        UserServices::instance().waitNotice(
            QStringLiteral("Collegamento al server PostgreSQL %1 in corso…").arg(server) +
            QLatin1Char('\n') +
            (seconds > 0 ? QStringLiteral("Se il server non risponde, il tentativo viene "
                                          "abbandonato dopo %1 secondi.")
                               .arg(seconds)
                         : QStringLiteral("L'indirizzo del database non pone un limite di "
                                          "tempo (connect_timeout=0): si attende finché il "
                                          "server risponde.")));
    });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    later.start(2000);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    attempt.join();
    later.stop();
    QApplication::restoreOverrideCursor();
    if (noticed)
        UserServices::instance().waitNotice(QString());
    if (!failure.isEmpty())
        throw DatabaseError(failure);
}

} // namespace

Startup::Objects Startup::create(QApplication& app)
{
    Objects objects;
    // The application's accessible interfaces before any window shows: a screen reader's
    // bridge asks for each window as it appears.
    Accessibility::install();

    // 2. The application title: plain message boxes, the general error report, and the
    // untitled splash window. It is not made Qt's display name, because Qt would append
    // it to every window caption ("Nutrilo 1.0 — Nutrilo 1.1").
    app.setApplicationName(QStringLiteral("Nutrilo"));
    app.setProperty("applicationTitle", AppTexts::applicationTitle());
    reached(Step::Title);

    // 3. The help file, and the context help of every window.
    ContextHelp::setHelpFile(AppTexts::helpFile());
    ContextHelp::install();
    reached(Step::HelpFile);

    // 4. The data module: the database of the working directory (or the server database
    // NUTRILO_DATABASE names), its three datasets and the first person's body metrics.
    // Without it nothing else is created. The working directory and the database file hold
    // the patients' health data: rights that a copy or an older version left to the group
    // or to others are taken away before the file is opened.
    try {
        const QString location = StoreLocation::chosen(AppTexts::databaseFile());
        if (!PostgresStore::isServerUri(location)) {
            PrivateFiles::tighten(QFileInfo(location).absolutePath());
            PrivateFiles::tightenDatabase(location);
        } else {
            waitForServer(location);
        }
        DM = new TDM(location);
    } catch (const DatabaseError& e) {
        DM = nullptr;
        UserServices::instance().applicationError(
            withFinalFullStop(QStringLiteral("DatabaseError: ") + e.message()));
        objects.exitCode = 1;
        return objects;
    } catch (const AppError& e) {
        DM = nullptr;
        UserServices::instance().applicationError(
            withFinalFullStop(QStringLiteral("AppError: ") + e.message()));
        objects.exitCode = 1;
        return objects;
    } catch (const std::exception& e) {
        DM = nullptr;
        UserServices::instance().applicationError(withFinalFullStop(QString::fromUtf8(e.what())));
        objects.exitCode = 1;
        return objects;
    }
    objects.dm = DM;
    reached(Step::DataModule);

    // The daily copy of the database file. A copy that fails is told once, and the
    // start-up goes on.
    const QString backupProblem = DatabaseBackup::makeDaily(*DM->ADOConnection1);
    if (!backupProblem.isEmpty())
        UserServices::instance().mostramessaggio(backupProblem, MessageKind::Warning, Buttons::Ok,
                                                 {QStringLiteral("Ok")}, AppTexts::dialogCaption());

    // 5. The splash window, shown and painted before anything else is created.
    splash = new Tsplash;
    objects.splash = splash;
    Accessibility::setName(splash->Image1, AppTexts::applicationTitle());
    splash->show();
    splash->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    reached(Step::Splash);

    // 6. The main window.
    Form1 = new TForm1(DM);
    objects.form = Form1;
    reached(Step::MainWindow);

    // 7. and 8. The record windows, hidden until the toolbar shows them.
    utenti = new Tutenti(DM, Form1->planner(), Form1);
    utenti->setWindowModality(Qt::ApplicationModal);
    if (HelpContext::own(utenti) == 0)
        HelpContext::set(utenti, 30);
    objects.users = utenti;
    reached(Step::UserWindow);

    Alimpers = new TAlimpers(DM, Form1->planner(), Form1);
    Alimpers->setWindowModality(Qt::ApplicationModal);
    if (HelpContext::own(Alimpers) == 0)
        HelpContext::set(Alimpers, 40);
    objects.foods = Alimpers;
    reached(Step::FoodWindow);

    Form1->setRecordWindows(utenti, Alimpers);

    // What other workstations (or another program on the file) commit reaches the
    // windows within a second; never while a question is on screen, whose answer the
    // change could make wrong. The record windows are modal too, but they show changes.
    DM->mayRefresh = [] {
        QWidget* modal = QApplication::activeModalWidget();
        return !QApplication::activePopupWidget() &&
               (!modal || modal == utenti || modal == Alimpers);
    };
    DM->watchChanges(500);
    return objects;
}

void Startup::destroy(Objects& objects)
{
    delete objects.foods;
    delete objects.users;
    delete objects.form;
    if (splash && splash == objects.splash)
        delete splash;
    delete objects.dm;
    if (DM == objects.dm)
        DM = nullptr;
    if (utenti == objects.users)
        utenti = nullptr;
    if (Alimpers == objects.foods)
        Alimpers = nullptr;
    objects = Objects{objects.exitCode};
}

QTranslator* Startup::installQtTranslation(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(ItalianText::locale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QApplication::installTranslator(translator);
    return translator;
}

int Startup::run(int argc, char** argv)
{
    // 1. The application object, with Qt's own dialogs and buttons in Italian.
    NutriloApplication app(argc, argv);
    // The desktop entry the windows belong to (task bar icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("it.nutrilo.Nutrilo"));
    installQtTranslation(app);
    DesktopServices services;
    UserServices::install(&services);

    Objects objects = create(app);
    int code = objects.exitCode;
    if (code == 0) {
        // 9. The event loop: it first shows the main window.
        objects.form->show();
        code = app.exec();
    }
    destroy(objects);
    UserServices::install(nullptr);
    return code;
}
