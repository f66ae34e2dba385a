#pragma once

#include <QList>
#include <QString>

// A food the dietitian proposes in place of a slot's food, printed under the slot in the
// handout ("oppure Riso bianco, crudo 85 g"). It was chosen for the food the slot held
// then: once the slot holds another food it no longer applies.
struct Alternative {
    QString food;       // the slot's food when it was proposed
    QString equivalent; // the food proposed
    double grams = 0;

    // Whether it was proposed for this food, letter case aside.
    bool isFor(const QString& slotFood) const
    {
        return food.trimmed().toCaseFolded() == slotFood.trimmed().toCaseFolded();
    }
    // "oppure Riso bianco, crudo 85 g", with the household portion after the grams when
    // given ("oppure Pane 105 g, 2 fette").
    QString line(const QString& portion = QString()) const;
    // The grams part of the line: "85 g", "105 g, 2 fette".
    QString gramsText(const QString& portion = QString()) const;
    bool operator==(const Alternative&) const = default;
};

using Alternatives = QList<Alternative>;

// At most this many per slot.
inline constexpr int MaxAlternatives = 3;
