#include "SystemSound.h"

#include <canberra.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// The longest wait for a sound to finish: a broken sound service must not hold the
// dialog back.
constexpr auto longestSound = std::chrono::seconds(5);

// Shared between the caller and libcanberra's callback thread.
struct Completion {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
};

void onFinished(ca_context*, uint32_t, int, void* userdata)
{
    auto* completion = static_cast<std::shared_ptr<Completion>*>(userdata);
    {
        std::lock_guard lock((*completion)->mutex);
        (*completion)->done = true;
    }
    (*completion)->finished.notify_all();
    delete completion;
}

} // namespace

QString SystemSound::eventId(const QString& alias)
{
    if (alias == QLatin1String("SystemAsterisk"))
        return QStringLiteral("dialog-warning");
    if (alias == QLatin1String("SystemExclamation"))
        return QStringLiteral("dialog-information");
    if (alias == QLatin1String("SystemQuestion"))
        return QStringLiteral("dialog-question");
    if (alias == QLatin1String("SystemHand"))
        return QStringLiteral("dialog-error");
    return {};
}

void SystemSound::playAndWait(const QString& alias)
{
    const QString id = eventId(alias);
    if (id.isEmpty())
        return;

    ca_context* context = nullptr;
    if (ca_context_create(&context) != CA_SUCCESS || !context)
        return;
    ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Nutrilo", nullptr);

    ca_proplist* props = nullptr;
    if (ca_proplist_create(&props) != CA_SUCCESS) {
        ca_context_destroy(context);
        return;
    }
    const QByteArray idUtf8 = id.toUtf8();
    ca_proplist_sets(props, CA_PROP_EVENT_ID, idUtf8.constData());
    ca_proplist_sets(props, CA_PROP_EVENT_DESCRIPTION, alias.toUtf8().constData());

    auto completion = std::make_shared<Completion>();
    // The callback owns one reference; it runs only when the play request succeeded.
    auto* callbackRef = new std::shared_ptr<Completion>(completion);
    const int started = ca_context_play_full(context, 1, props, onFinished, callbackRef);
    ca_proplist_destroy(props);
    if (started != CA_SUCCESS) {
        delete callbackRef;
        ca_context_destroy(context);
        return;
    }
    {
        std::unique_lock lock(completion->mutex);
        completion->finished.wait_for(lock, longestSound, [&] { return completion->done; });
    }
    // Destroying the context cancels a sound still playing and runs its callback.
    ca_context_destroy(context);
}
