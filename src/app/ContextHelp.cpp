#include "ContextHelp.h"

#include "AppTexts.h"
#include "HelpContext.h"
#include "HelpWindow.h"
#include "UserServices.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTextEdit>
#include <QWidget>

namespace {

QPointer<ContextHelp> installed;

// Topics of the windows that do not carry a number of their own.
int windowContext(const QWidget* window)
{
    if (!window)
        return 0;
    if (const int own = HelpContext::own(window))
        return own;
    const QString name = window->objectName();
    if (name == QLatin1String("Form1"))
        return 1;
    if (name == QLatin1String("utenti"))
        return 30;
    if (name == QLatin1String("Alimpers"))
        return 40;
    if (name == QLatin1String("TStampa"))
        return 50;
    return 0;
}

// The body of a topic without its page frame, for the "What's this?" text.
QString topicBody(int context)
{
    QString html = HelpWindow::topicHtml(ContextHelp::helpFile(), context);
    static const QRegularExpression body(QStringLiteral("<body[^>]*>(.*)</body>"),
                                         QRegularExpression::DotMatchesEverythingOption |
                                             QRegularExpression::CaseInsensitiveOption);
    const auto match = body.match(html);
    return match.hasMatch() ? match.captured(1) : html;
}

bool isTextEditor(const QWidget* widget)
{
    for (const QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget())
        if (qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w))
            return true;
    return false;
}

} // namespace

void ContextHelp::install()
{
    if (installed || !qApp)
        return;
    installed = new ContextHelp(qApp);
    qApp->installEventFilter(installed);
}

QString ContextHelp::helpFile()
{
    const QVariant file = qApp ? qApp->property("helpFile") : QVariant();
    return file.isValid() ? file.toString() : AppTexts::helpFile();
}

void ContextHelp::setHelpFile(const QString& file)
{
    if (qApp)
        qApp->setProperty("helpFile", file);
}

int ContextHelp::contextOf(const QWidget* widget)
{
    if (!widget)
        return 0;
    if (const int context = HelpContext::of(widget))
        return context;
    return windowContext(widget->window());
}

void ContextHelp::applyWhatsThis(QWidget* root)
{
    if (!root)
        return;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        const int context = HelpContext::own(widget);
        if (context != 0 && widget->whatsThis().isEmpty())
            widget->setWhatsThis(topicBody(context));
    }
}

void ContextHelp::showHelpFor(const QWidget* widget)
{
    const int context = contextOf(widget);
    UserServices::instance().showHelp(helpFile(), context, false);
}

void ContextHelp::showPopupFor(const QWidget* widget)
{
    const int context = contextOf(widget);
    UserServices::instance().showHelp(helpFile(), context, true);
}

bool ContextHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        if (qobject_cast<QMenu*>(widget) || contextOf(widget) == 0)
            return false;
        QWidget* focused = QApplication::focusWidget();
        const QWidget* target = focused && focused->window() == widget->window() ? focused : widget;
        runGuarded([&] { showHelpFor(target); });
        return true;
    }
    case QEvent::QueryWhatsThis:
        if (contextOf(widget) == 0)
            return false;
        event->accept();
        return true;
    case QEvent::WhatsThis:
        if (contextOf(widget) == 0)
            return false;
        runGuarded([&] { showPopupFor(widget); });
        event->accept();
        return true;
    case QEvent::ContextMenu: {
        if (qobject_cast<QMenu*>(widget) || isTextEditor(widget) || contextOf(widget) == 0)
            return false;
        if (widget->contextMenuPolicy() != Qt::DefaultContextMenu)
            return false;
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        QPointer<QWidget> target = widget;
        // A text field keeps its editing entries; "What's this?" comes after them.
        QMenu* menu = nullptr;
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            menu = edit->createStandardContextMenu();
            menu->addSeparator();
        } else {
            menu = new QMenu(widget);
        }
        menu->setObjectName(QStringLiteral("whatsThisMenu"));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        QAction* action = menu->addAction(whatsThisCaption());
        action->setObjectName(QStringLiteral("whatsThisAction"));
        connect(action, &QAction::triggered, widget, [target] {
            if (target)
                runGuarded([&] { showPopupFor(target); });
        });
        menu->popup(menuEvent->globalPos());
        event->accept();
        return true;
    }
    default:
        return false;
    }
}
