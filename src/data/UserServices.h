#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;

// Kinds of the message dialog: they choose its icon and its sound.
enum class MessageKind { Warning, Error, Information, Confirmation };

// Buttons of the message dialog, summed into a set, and the codes it returns.
namespace Buttons {
constexpr int Yes = 1;
constexpr int No = 2;
constexpr int Ok = 4;
constexpr int Cancel = 8;
} // namespace Buttons
namespace Result {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace Result

// Everything that asks the user something or leaves the process goes through this
// interface: the application installs the real dialogs, tests install a scripted one
// that records what was asked and gives queued answers.
class UserServices {
public:
    virtual ~UserServices() = default;

    // The installed services (the application's or a test's).
    static UserServices& instance();
    static void install(UserServices* services);

    // The message dialog: text, kind, button set (sum of Buttons), captions that replace
    // the buttons' standard captions in order, window caption. Returns the pressed
    // button's code (Result); closing the dialog gives Result::Cancel.
    virtual int mostramessaggio(const QString& text, MessageKind kind, int buttons,
                                const QStringList& captions, const QString& caption) = 0;
    // The plain message box: the application title as caption, no icon, one "OK".
    virtual void plainMessage(const QString& text) = 0;
    // The standard error box: caption "Error", error icon, one "OK".
    virtual void errorBox(const QString& text) = 0;
    // The general error report for a failure no handler dealt with: caption the
    // application title, error icon. The text already carries its final full stop.
    virtual void errorReport(const QString& text) = 0;
    // The start-up failure box, titled "Application Error".
    virtual void applicationError(const QString& text) = 0;

    // The system's default beep.
    virtual void beep() = 0;
    // A system sound played by its alias ("SystemAsterisk", "SystemExclamation"); returns
    // when the sound has finished. Without a sound service nothing is played.
    virtual void playSound(const QString& alias) = 0;
    // Opens a web address with the desktop's default browser; the outcome is ignored.
    virtual void openUrl(const QString& url) = 0;
    // Context help: the help file's topic with that number, as a full window or as a pop-up.
    virtual void showHelp(const QString& helpFile, int context, bool popup) = 0;

    // The open-picture dialog; the chosen file's full path, empty when cancelled.
    virtual QString choosePictureFile(const QString& filter) = 0;
    // The file-save dialog; the chosen path, empty when cancelled.
    virtual QString chooseSaveFile(const QString& proposedName, const QString& filter) = 0;
    // The print dialog (printer and copies); false when cancelled.
    virtual bool choosePrinter(QPrinter& printer) = 0;
    // A list to choose from, titled with the dialog caption, with a prompt above it.
    // Returns the positions of the chosen entries in list order; empty when cancelled.
    // With `several` any number of entries can be chosen, otherwise one.
    virtual QList<int> chooseEntries(const QString& prompt, const QStringList& entries,
                                     bool several);
    // A form of text fields titled with the dialog caption, a prompt above them: one field
    // per label, each holding its proposed text at first. Returns the texts as typed, in
    // the labels' order; empty when cancelled.
    virtual QStringList askTexts(const QString& prompt, const QStringList& labels,
                                 const QStringList& proposed);
    // A notice without buttons while the application waits for something (a server that
    // is slow to answer); it stays on screen, the event loop running, until the same call
    // with an empty text takes it away. Without a notice service nothing is shown.
    virtual void waitNotice(const QString& text);
};

// Appends a full stop to a message whose last character has a higher code than the
// full stop (letters and digits), as the general error report shows it.
QString withFinalFullStop(const QString& message);

// Runs one user command: a failure that no handler dealt with goes to the general error
// report, an abandoned command (already reported) stops silently. Nothing is rethrown,
// so no exception reaches the event loop.
void runGuarded(const std::function<void()>& command);
