#include "GramsKeyFilter.h"

#include "UserServices.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace {

bool isClipboardKey(const QKeyEvent* key)
{
    return key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
           key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Undo) ||
           key->matches(QKeySequence::Redo);
}

bool passes(const QKeyEvent* key)
{
    if (key->key() == Qt::Key_Backspace)
        return true;
    if (isClipboardKey(key))
        return false;
    // Control with a letter types a control character: discarded like any character.
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (mods && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z)
        return false;
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return false;
    default:
        break;
    }
    const QString text = key->text();
    if (text.isEmpty())
        return true; // navigation and modifier keys type nothing
    return text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
}

} // namespace

bool GramsKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        if (!passes(static_cast<QKeyEvent*>(event))) {
            UserServices::instance().beep();
            return true;
        }
    } else if (event->type() == QEvent::ShortcutOverride) {
        // The clipboard shortcuts reach the field as key presses, not as window shortcuts.
        // Other control keys are left to the window's commands (Ctrl+S saves); when no
        // command has them they arrive as key presses and are refused there.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isClipboardKey(key)) {
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
