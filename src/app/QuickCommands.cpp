#include "QuickCommands.h"

#include "ContextHelp.h"
#include "TForm1.h"
#include "UserServices.h"
#include "WeekCopier.h"
#include "WeeklyPlanner.h"

#include <QBoxLayout>
#include <QFrame>
#include <QIcon>
#include <QMenu>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The toolbar button of the nutrition summary, once the window has one.
QAbstractButton* summaryButton(TForm1* form)
{
    return form->findChild<QAbstractButton*>(QStringLiteral("riepilogo"));
}

} // namespace

QKeySequence QuickCommands::keyOf(Command command)
{
    // In the order of Command. Save, Print and Exit are the desktop's own Ctrl+S, Ctrl+P
    // and Ctrl+Q. The others take keys the toolkit binds to no standard action, so that
    // they work from every text field and leave its editing keys alone: Ctrl+U deletes
    // the line on the Linux desktops and Ctrl+R refreshes on GNOME, hence Alt+U and Alt+R.
    static const QKeyCombination keys[] = {Qt::CTRL | Qt::Key_S,        Qt::CTRL | Qt::Key_P,
                                           Qt::ALT | Qt::Key_U,         Qt::CTRL | Qt::Key_L,
                                           Qt::ALT | Qt::Key_R,         Qt::CTRL | Qt::Key_Q,
                                           Qt::CTRL | Qt::Key_PageDown, Qt::CTRL | Qt::Key_PageUp};
    return QKeySequence(keys[int(command)]);
}

QString QuickCommands::withKey(const QString& tooltip, const QKeySequence& key)
{
    const QString shown =
        QLatin1Char('(') + key.toString(QKeySequence::NativeText) + QLatin1Char(')');
    // A tooltip that ends in a line break gets the key on the new line.
    if (tooltip.endsWith(QLatin1Char('\n')))
        return tooltip + shown;
    return tooltip + QLatin1Char(' ') + shown;
}

QuickCommands::QuickCommands(TForm1* form, TDM* dm) : QObject(form), form_(form)
{
    setObjectName(QStringLiteral("quickCommands"));
    copier_ = new WeekCopier(form->planner(), dm, this);

    // "Copia settimana da…" after the print and summary buttons.
    copiaSettimana = new QToolButton(form->Panel1);
    copiaSettimana->setObjectName(QStringLiteral("copiaSettimana"));
    // A picture button like its neighbours, so that the toolbar still fits the window.
    copiaSettimana->setText(WeekCopier::copyWeekCaption());
    copiaSettimana->setIcon(QIcon(QStringLiteral(":/pictures/copia.png")));
    copiaSettimana->setIconSize(QSize(28, 28));
    copiaSettimana->setToolButtonStyle(Qt::ToolButtonIconOnly);
    copiaSettimana->setToolTip(WeekCopier::copyWeekCaption() +
                               QStringLiteral(" (la settimana salvata di un'altra persona)"));
    copiaSettimana->setAutoRaise(true);
    copiaSettimana->setFixedSize(32, 32);
    copiaSettimana->setCursor(Qt::PointingHandCursor);
    if (auto* row = qobject_cast<QBoxLayout*>(form->Panel1->layout()))
        row->insertWidget(row->indexOf(form->riepilogo) + 1, copiaSettimana);
    connect(copiaSettimana, &QToolButton::clicked, this,
            [this] { runGuarded([&] { copier_->copiaSettimanaClick(); }); });

    // Every visible toolbar command is reached with Tab and pressed with Space.
    for (QToolButton* button : form->Panel1->findChildren<QToolButton*>())
        if (button != form->btnTotale)
            button->setFocusPolicy(Qt::TabFocus);

    struct Tip {
        Command command;
        QAbstractButton* button;
    };
    for (const Tip& tip :
         {Tip{Save, form->salva}, Tip{Print, form->stamp}, Tip{Users, form->btnUtenti},
          Tip{Foods, form->btnAlimenti}, Tip{Summary, summaryButton(form)}, Tip{Exit, form->esci}})
        if (tip.button)
            tip.button->setToolTip(withKey(tip.button->toolTip(), keyOf(tip.command)));

    for (Command command : {Save, Print, Users, Foods, Summary, Exit, NextDay, PreviousDay}) {
        auto* shortcut = new QShortcut(keyOf(command), form);
        shortcut->setObjectName(QStringLiteral("shortcut%1").arg(int(command)));
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, command] { runGuarded([&] { run(command); }); });
        shortcuts_ << shortcut;
    }

    // The day tabs' own menu.
    QTabBar* tabs = form->PageControl1->tabBar();
    tabs->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tabs, &QTabBar::customContextMenuRequested, this, [this, tabs](const QPoint& pos) {
        const int index = tabs->tabAt(pos);
        if (index < 0)
            return;
        QMenu* menu = tabMenu(index);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(tabs->mapToGlobal(pos));
    });
}

QShortcut* QuickCommands::shortcut(Command command) const
{
    return shortcuts_.value(int(command));
}

QMenu* QuickCommands::tabMenu(int index)
{
    QTabWidget* pages = form_->PageControl1;
    auto* menu = new QMenu(pages->tabBar());
    menu->setObjectName(QStringLiteral("dayTabMenu"));
    QAction* copy = menu->addAction(WeekCopier::copyDayCaption());
    copy->setObjectName(QStringLiteral("copiaGiornoAction"));
    const int day = index + 1;
    connect(copy, &QAction::triggered, this,
            [this, day] { runGuarded([&] { copier_->copiaGiornoClick(day); }); });
    menu->addSeparator();
    QAction* help = menu->addAction(ContextHelp::whatsThisCaption());
    help->setObjectName(QStringLiteral("whatsThisAction"));
    connect(help, &QAction::triggered, this,
            [pages] { runGuarded([&] { ContextHelp::showPopupFor(pages); }); });
    return menu;
}

void QuickCommands::run(Command command)
{
    QAbstractButton* button = nullptr;
    switch (command) {
    case Save:
        button = form_->salva;
        break;
    case Print:
        button = form_->stamp;
        break;
    case Users:
        button = form_->btnUtenti;
        break;
    case Foods:
        button = form_->btnAlimenti;
        break;
    case Summary:
        button = summaryButton(form_);
        break;
    case Exit:
        button = form_->esci;
        break;
    case NextDay:
    case PreviousDay: {
        QTabWidget* pages = form_->PageControl1;
        const int count = pages->count();
        if (count == 0)
            return;
        const int step = command == NextDay ? 1 : count - 1;
        pages->setCurrentIndex((pages->currentIndex() + step) % count);
        return;
    }
    }
    // As a click: a disabled command (Save without changes) does nothing.
    if (button && button->isEnabled())
        button->click();
}
