#pragma once

#include <QString>
#include <functional>

class QApplication;
class QTranslator;
class TAlimpers;
class TDM;
class TForm1;
class Tsplash;
class Tutenti;

// The user window and the food window, created at start-up and hidden.
extern Tutenti* utenti;
extern TAlimpers* Alimpers;

// The start-up sequence of the application: title, help file, the data module, the
// splash window, the main window and the two record windows, then the event loop.
class Startup {
public:
    // The steps of the sequence, reported to an observer after each one.
    enum class Step { Title, HelpFile, DataModule, Splash, MainWindow, UserWindow, FoodWindow };

    // What the sequence created; exitCode is 0 on success, 1 when the data module failed
    // (then nothing else exists and the failure was shown).
    struct Objects {
        int exitCode = 0;
        TDM* dm = nullptr;
        Tsplash* splash = nullptr;
        TForm1* form = nullptr;
        Tutenti* users = nullptr;
        TAlimpers* foods = nullptr;
    };

    // Steps 2 to 8 on an existing application object, without entering the event loop.
    // Installs the desktop user services unless some are installed already.
    static Objects create(QApplication& app);
    // Destroys what create() made: the windows, then the data module (closing the database).
    static void destroy(Objects& objects);
    // Qt's Italian translation, for the texts of Qt's own dialogs (file, print, the
    // standard buttons); the application's texts are its own. Null when it is missing.
    static QTranslator* installQtTranslation(QApplication& app);
    // The whole sequence: application object, create(), the event loop; returns the exit code.
    static int run(int argc, char** argv);

    // Called after each step (tests watch the order with it).
    static std::function<void(Step)> observer;
};
