#include "Accessibility.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QWidget>

namespace {

// The dynamic property that carries a role given with presentAs().
const char* const roleProperty = "nutriloAccessibleRole";

// A combo box: named by its accessible name (or its buddy label), its text as the value.
// The children are those a screen reader expects of a combo box: the list, then the line
// edit of an editable one.
class ComboAccessible : public QAccessibleWidget {
public:
    explicit ComboAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::ComboBox) {}

    int childCount() const override { return combo()->isEditable() ? 2 : 1; }

    QAccessibleInterface* child(int index) const override
    {
        if (index == 0) {
            // The list is made when first asked for: it takes the combo box's name then,
            // so that an opened list says whose choices it holds.
            QAbstractItemView* list = combo()->view();
            const QString own = QAccessibleWidget::text(QAccessible::Name);
            if (list->accessibleName().isEmpty() && !own.isEmpty())
                list->setAccessibleName(QStringLiteral("Elenco: %1").arg(own));
            return QAccessible::queryAccessibleInterface(list);
        }
        if (index == 1 && combo()->isEditable())
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        if (child->object() == combo()->view())
            return 0;
        if (combo()->isEditable() && child->object() == combo()->lineEdit())
            return 1;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        QLineEdit* edit = combo()->isEditable() ? combo()->lineEdit() : nullptr;
        if (edit && edit->rect().translated(edit->mapToGlobal(QPoint(0, 0))).contains(x, y))
            return child(1);
        return nullptr;
    }

    // The line edit of an editable combo box has the keyboard, for the combo box.
    QAccessibleInterface* focusChild() const override
    {
        return combo()->isEditable() ? child(1) : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        const QString shown =
            combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
        if (t == QAccessible::Value)
            return shown;
        const QString own = QAccessibleWidget::text(t);
        // Without a name of its own the combo box is called by its text, as before.
        return t == QAccessible::Name && own.isEmpty() ? shown : own;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.editable = combo()->isEditable();
        const QAbstractItemView* list = combo()->findChild<QAbstractItemView*>();
        state.expanded = list && list->isVisible();
        state.collapsed = !state.expanded;
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        const QAbstractItemView* list = combo()->findChild<QAbstractItemView*>();
        if (list && list->isVisible())
            combo()->hidePopup();
        else
            combo()->showPopup();
    }

private:
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
};

// A scroll area that stands for one thing (a chart drawn in a graphics view): its
// viewport and scroll bars are its own workings, not controls of their own.
class WholeAccessible : public QAccessibleWidget {
public:
    WholeAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    // Asked first with the most derived class name: a role given to this very widget.
    if (className == QLatin1String(object->metaObject()->className())) {
        const QVariant role = widget->property(roleProperty);
        if (role.isValid() && qobject_cast<QAbstractScrollArea*>(widget))
            return new WholeAccessible(widget, QAccessible::Role(role.toInt()));
        if (role.isValid())
            return new QAccessibleWidget(widget, QAccessible::Role(role.toInt()));
    }
    if (className == QLatin1String("QComboBox"))
        return new ComboAccessible(widget);
    // Reached only by classes that no other interface claimed on the way up to QWidget.
    if (className == QLatin1String("QWidget") && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

namespace Accessibility {

void install()
{
    // After the toolkit's own factory (the application object installs it): the factory
    // installed last is asked first. Installing again does nothing.
    if (QCoreApplication::instance())
        QAccessible::installFactory(factory);
}

void setName(QWidget* widget, const QString& name)
{
    install();
    widget->setAccessibleName(name);
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        if (QLineEdit* edit = combo->lineEdit())
            edit->setAccessibleName(name);
    // The scroll bars of a scroll area say what they scroll.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
        area->verticalScrollBar()->setAccessibleName(QStringLiteral("Scorrimento: ") + name);
        area->horizontalScrollBar()->setAccessibleName(QStringLiteral("Scorrimento orizzontale: ") +
                                                       name);
    }
}

void setName(QWidget* widget, const QString& name, const QString& description)
{
    setName(widget, name);
    widget->setAccessibleDescription(description);
}

void presentAs(QWidget* widget, QAccessible::Role role)
{
    install();
    widget->setProperty(roleProperty, int(role));
}

} // namespace Accessibility
