#include "UserServices.h"

#include "AppError.h"

#include <QtGlobal>

namespace {

// Used before any services are installed: answers like a user who presses Enter and
// reports to the standard error stream, so that nothing is lost silently.
class FallbackServices final : public UserServices {
public:
    int mostramessaggio(const QString& text, MessageKind, int buttons, const QStringList&,
                        const QString&) override
    {
        qWarning("%s", qUtf8Printable(text));
        if (buttons & Buttons::Ok)
            return Result::Ok;
        if (buttons & Buttons::Yes)
            return Result::Yes;
        return Result::Cancel;
    }
    void plainMessage(const QString& text) override { qWarning("%s", qUtf8Printable(text)); }
    void errorBox(const QString& text) override { qWarning("%s", qUtf8Printable(text)); }
    void errorReport(const QString& text) override { qWarning("%s", qUtf8Printable(text)); }
    void applicationError(const QString& text) override { qWarning("%s", qUtf8Printable(text)); }
    void beep() override {}
    void playSound(const QString&) override {}
    void openUrl(const QString&) override {}
    void showHelp(const QString&, int, bool) override {}
    QString choosePictureFile(const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&) override { return {}; }
    bool choosePrinter(QPrinter&) override { return false; }
};

FallbackServices fallback;
UserServices* installed = nullptr;

} // namespace

UserServices& UserServices::instance()
{
    return installed ? *installed : fallback;
}

QList<int> UserServices::chooseEntries(const QString&, const QStringList&, bool)
{
    return {};
}

QStringList UserServices::askTexts(const QString&, const QStringList&, const QStringList&)
{
    return {};
}

void UserServices::waitNotice(const QString&) {}

void UserServices::install(UserServices* services)
{
    installed = services;
}

QString withFinalFullStop(const QString& message)
{
    if (!message.isEmpty() && message.at(message.size() - 1).unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

void runGuarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const AbortError&) {
        // Already reported where it happened.
    } catch (const AppError& e) {
        UserServices::instance().errorReport(withFinalFullStop(e.message()));
    } catch (const std::exception& e) {
        UserServices::instance().errorReport(withFinalFullStop(QString::fromUtf8(e.what())));
    }
}
