#pragma once

#include <QObject>

// The key filter of one day's grams fields: a typed digit or Backspace passes; any
// other typed character (letters, the decimal comma, minus, blank, Enter) and the
// keyboard's copy, cut, paste and undo shortcuts are discarded with the default beep.
// Keys that type nothing (arrows, Home, End, Delete, Tab) pass.
class GramsKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override;
};
