#include "ComboWheelRule.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>

void ComboWheelRule::install(QCoreApplication* app)
{
    if (app->findChild<ComboWheelRule*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    app->installEventFilter(new ComboWheelRule(app));
}

bool ComboWheelRule::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Polish:
        // Combo boxes take the focus from the wheel by default, before the wheel reaches
        // them; then they would change their value as if the user had picked it.
        if (auto* combo = qobject_cast<QComboBox*>(watched))
            if (combo->focusPolicy() == Qt::WheelFocus)
                combo->setFocusPolicy(Qt::StrongFocus);
        break;
    case QEvent::Wheel:
        if (auto* combo = qobject_cast<QComboBox*>(watched))
            if (!combo->hasFocus()) {
                // Not for the combo box: the event goes on to its parent.
                event->ignore();
                return true;
            }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
