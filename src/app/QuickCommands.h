#pragma once

#include <QKeySequence>
#include <QObject>

class QMenu;
class QShortcut;
class QToolButton;
class TDM;
class TForm1;
class WeekCopier;

// The main window's faster ways of working: the keys of the toolbar commands and of the
// day pages (shown in the tooltips after their text), keyboard focus for every toolbar
// button, the toolbar command "Copia settimana da…" and the day tabs' menu with
// "Copia giorno…".
class QuickCommands : public QObject {
    Q_OBJECT
public:
    QuickCommands(TForm1* form, TDM* dm);

    // The commands and their keys.
    enum Command { Save, Print, Users, Foods, Summary, Exit, NextDay, PreviousDay };
    static QKeySequence keyOf(Command command);
    // The shortcut of a command on the main window.
    QShortcut* shortcut(Command command) const;

    QToolButton* copiaSettimana = nullptr;
    WeekCopier* copier() const { return copier_; }
    // The menu of the day tab `index` (0 to 6): "Copia giorno…" and "What's this?".
    QMenu* tabMenu(int index);

    // A tooltip with the key after its text.
    static QString withKey(const QString& tooltip, const QKeySequence& key);

private:
    void run(Command command);

    TForm1* form_;
    WeekCopier* copier_;
    QList<QShortcut*> shortcuts_;
};
