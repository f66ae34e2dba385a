#include "Tsplash.h"

#include "AppTexts.h"
#include "TForm1.h"
#include "UserServices.h"

#include <QApplication>
#include <QEvent>

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

Tsplash* splash = nullptr;

Tsplash::Tsplash(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("splash"));
    setWindowTitle(AppTexts::applicationTitle()); // what the task bar shows
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(494, 476);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(3);
    layout->addWidget(Panel1);

    auto* inner = new QVBoxLayout(Panel1);
    inner->setContentsMargins(0, 0, 0, 0);
    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(QStringLiteral(":/pictures/splash.png")));
    Image1->setMinimumSize(1, 1);
    inner->addWidget(Image1);

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(0, 0), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(15000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [this] { runGuarded([this] { Timer1Timer(); }); });
    Timer1->start();

    // Watches the main window while the splash lives.
    qApp->installEventFilter(this);

    connect(this, &QObject::destroyed, [this] {
        if (splash == this)
            splash = nullptr;
    });
}

void Tsplash::Timer1Timer()
{
    Timer1->stop();
    close();
    deleteLater();
}

bool Tsplash::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Show || type == QEvent::WindowActivate ||
        type == QEvent::MouseButtonPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const bool main = widget && qobject_cast<TForm1*>(widget->window()) &&
                          (type == QEvent::MouseButtonPress || widget->isWindow());
        // Raised once the event has been handled: the main window is then on screen, or
        // the desktop has brought it to the front.
        if (main && isVisible())
            QTimer::singleShot(0, this, [this] {
                if (isVisible())
                    raise();
            });
    }
    return QWidget::eventFilter(watched, event);
}
