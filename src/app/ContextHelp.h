#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Context help as the user sees it, for every window of the application: F1 opens the
// help at the topic of the focused control; a click in "What's this?" mode and the
// "What's this?" entry of a control's right-click menu show the control's topic as a
// pop-up. A control without a help context uses its nearest parent's, up to its window;
// the record windows and the print preview have their own topics.
class ContextHelp : public QObject {
    Q_OBJECT
public:
    // Installs the help on the application (once).
    static void install();
    // The help file named at start-up.
    static QString helpFile();
    static void setHelpFile(const QString& file);

    // The help context that applies to a control: its own, its parents', its window's.
    static int contextOf(const QWidget* widget);
    // Gives every control under `root` with a help context of its own the text of its
    // topic as "What's this?" text.
    static void applyWhatsThis(QWidget* root);
    // The entry of the right-click menu.
    static QString whatsThisCaption() { return QStringLiteral("What's this?"); }

    // F1 on a control: the full help window at its topic.
    static void showHelpFor(const QWidget* widget);
    // The control's topic as a pop-up.
    static void showPopupFor(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ContextHelp(QObject* parent) : QObject(parent) {}
};
