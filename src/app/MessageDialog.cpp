#include "MessageDialog.h"

#include "Accessibility.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {

struct ButtonInfo {
    int member;
    int code;
    const char* name;
    const char* standardCaption;
};

// The fixed order of the buttons in the row.
constexpr ButtonInfo buttonOrder[] = {
    {Buttons::Yes, Result::Yes, "btnYes", "&Yes"},
    {Buttons::No, Result::No, "btnNo", "&No"},
    {Buttons::Ok, Result::Ok, "btnOk", "OK"},
    {Buttons::Cancel, Result::Cancel, "btnCancel", "Cancel"},
};

QStyle::StandardPixmap iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QStyle::SP_MessageBoxWarning;
    case MessageKind::Error:
        return QStyle::SP_MessageBoxCritical;
    case MessageKind::Information:
        return QStyle::SP_MessageBoxInformation;
    case MessageKind::Confirmation:
        return QStyle::SP_MessageBoxQuestion;
    }
    return QStyle::SP_MessageBoxInformation;
}

// What the icon says, for a screen reader.
QString iconName(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QStringLiteral("Avviso");
    case MessageKind::Error:
        return QStringLiteral("Errore");
    case MessageKind::Information:
        return QStringLiteral("Informazione");
    case MessageKind::Confirmation:
        return QStringLiteral("Domanda");
    }
    return QString();
}

} // namespace

MessageDialog::MessageDialog(const QString& text, MessageKind kind, int buttons,
                             const QStringList& captions, const QString& caption, QWidget* parent)
    : QDialog(parent), set_(buttons)
{
    setObjectName(QStringLiteral("messageDialog"));
    setWindowTitle(caption);
    setModal(true);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(14);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(iconOf(kind), nullptr, this).pixmap(iconSize));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    Accessibility::setName(icon, iconName(kind));
    grid->addWidget(icon, 0, 0, Qt::AlignTop);

    // A carriage return in the text starts a new line.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    auto* message = new QLabel(shown, this);
    message->setObjectName(QStringLiteral("text"));
    message->setTextFormat(Qt::PlainText);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message->setMinimumWidth(160);
    message->setMaximumWidth(480);
    message->setWordWrap(shown.size() > 80);
    grid->addWidget(message, 0, 1, Qt::AlignVCenter | Qt::AlignLeft);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    int nextCaption = 0;
    for (const ButtonInfo& info : buttonOrder) {
        if (!(buttons & info.member))
            continue;
        QString label = nextCaption < captions.size() ? captions.at(nextCaption)
                                                      : QString::fromLatin1(info.standardCaption);
        ++nextCaption;
        auto* button = new QPushButton(label, this);
        button->setObjectName(QString::fromLatin1(info.name));
        button->setAutoDefault(false);
        button->setProperty("resultCode", info.code);
        const int code = info.code;
        connect(button, &QPushButton::clicked, this, [this, code] { press(code); });
        row->addWidget(button);
        buttons_.append(button);
    }
    row->addStretch(1);
    grid->addLayout(row, 1, 0, 1, 2);

    // Equal width: the widest caption decides.
    int width = 75;
    for (QPushButton* button : buttons_)
        width = qMax(width, button->sizeHint().width());
    for (QPushButton* button : buttons_)
        button->setFixedWidth(width);
    // The access key follows the caption in the tooltip: "Si (S)".
    for (QPushButton* button : buttons_) {
        const QChar key = accessKeyOf(button);
        if (key.isLetter() && buttonWithAccessKey(key) == button)
            button->setToolTip(button->text().remove(QLatin1Char('&')) + QStringLiteral(" (") +
                               key.toUpper() + QLatin1Char(')'));
    }
    if (!buttons_.isEmpty())
        buttons_.first()->setFocus();
}

QString MessageDialog::soundAlias(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QStringLiteral("SystemAsterisk");
    case MessageKind::Information:
    case MessageKind::Confirmation:
        return QStringLiteral("SystemExclamation");
    case MessageKind::Error:
        break;
    }
    return {};
}

void MessageDialog::press(int code)
{
    done(code);
}

void MessageDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & ~Qt::KeypadModifier)
            break;
        // Enter presses OK when it is in the set, otherwise Yes.
        if (set_ & Buttons::Ok)
            press(Result::Ok);
        else if (set_ & Buttons::Yes)
            press(Result::Yes);
        event->accept();
        return;
    case Qt::Key_Escape:
        // Esc presses Cancel, otherwise No, otherwise OK; with none of them it does nothing.
        if (set_ & Buttons::Cancel)
            press(Result::Cancel);
        else if (set_ & Buttons::No)
            press(Result::No);
        else if (set_ & Buttons::Ok)
            press(Result::Ok);
        event->accept();
        return;
    default:
        // Access keys: the first letter of a caption presses its button ("Si" S, "No" N,
        // "Annulla" A), alone or with Alt, when no other caption starts with it.
        if (const int code = accessKeyCode(event)) {
            press(code);
            event->accept();
            return;
        }
        break;
    }
    QDialog::keyPressEvent(event);
}

int MessageDialog::accessKeyCode(const QKeyEvent* event) const
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::AltModifier)
        return 0;
    // With Alt some platforms give no text: the key code names the letter.
    QChar typed;
    if (!event->text().isEmpty())
        typed = event->text().at(0).toCaseFolded();
    else if (event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        typed = QChar(u'a' + (event->key() - Qt::Key_A));
    if (!typed.isLetter())
        return 0;
    const QPushButton* button = buttonWithAccessKey(typed);
    return button ? button->property("resultCode").toInt() : 0;
}

QChar MessageDialog::accessKeyOf(const QPushButton* button)
{
    const QString caption = button->text().remove(QLatin1Char('&')).trimmed();
    return caption.isEmpty() ? QChar() : caption.at(0).toCaseFolded();
}

const QPushButton* MessageDialog::buttonWithAccessKey(QChar letter) const
{
    const QPushButton* found = nullptr;
    for (const QPushButton* button : buttons_) {
        if (accessKeyOf(button) != letter)
            continue;
        if (found)
            return nullptr; // two captions share the letter
        found = button;
    }
    return found;
}

void MessageDialog::reject()
{
    done(Result::Cancel);
}

void MessageDialog::showEvent(QShowEvent* event)
{
    centreOnScreen();
    QDialog::showEvent(event);
}

void MessageDialog::centreOnScreen()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    adjustSize();
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
