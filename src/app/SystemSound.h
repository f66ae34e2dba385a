#pragma once

#include <QString>

// The system sounds of the message dialog, played through the desktop's sound theme.
// The alias names of the sounds are mapped to freedesktop event sounds.
namespace SystemSound {
// The freedesktop event id of an alias ("SystemAsterisk" → "dialog-warning"); empty for
// an alias without a sound.
QString eventId(const QString& alias);
// Plays the alias's sound and returns when it has finished (or after a few seconds at
// most). Without a sound service, or for an unknown alias, it returns at once.
void playAndWait(const QString& alias);
} // namespace SystemSound
