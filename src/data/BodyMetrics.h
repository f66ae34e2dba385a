#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// The six body metrics of a person: body mass index with its weight class, ideal weight,
// daily energy requirement, fat-mass percentage, calories burnt by sport and the
// therapeutic ration. Every argument and result of the formulas is a text; the numbers
// inside are four-decimal amounts in the default locale's notation. The formulas use
// nothing but their arguments and the user services (for their message boxes), so they
// can run while the data module is created, before any window exists.
class BodyMetrics {
public:
    // The stored fields of a person record that the metrics read. A null QVariant is a
    // null field; the integer fields hold qint64 or int, the text fields QString.
    struct Inputs {
        QVariant eta, peso, altezza, sesso, corporatura, attivita, girovita, sport, ore, pesodes,
            giorni;
    };
    // The six calculated fields: a null QVariant stays empty, otherwise a QString of at
    // most FieldWidth characters.
    struct Results {
        QVariant BMI, pesoidea, fabbenerg, massagrassa, caloriesport, razzterr;
    };

    // The calculated fields hold at most this many characters; longer texts are cut.
    static constexpr int FieldWidth = 20;

    // The calculated-field event of the person dataset: fills the six values in their
    // fixed order, each only when the fields it needs are present (not null, not zero,
    // not empty). The ration is never left empty: "0" stands for "cannot be computed".
    static Results compute(const Inputs& in);

    // Index with one decimal, a blank and the weight class ("26,1 Sovrapp.").
    static QString calcolabmi(const QString& altezza, const QString& peso);
    // Ideal weight in kg, no decimals.
    static QString calcolapesoideale(const QString& altezza, const QString& corporatura);
    // Daily energy requirement in kcal, no decimals.
    static QString calcolafabbisogno(const QString& sesso, const QString& eta,
                                     const QString& attivita, const QString& peso);
    // Fat mass as a percentage of the weight, no decimals (may be negative).
    static QString calcolamassagrassa(const QString& peso, const QString& girovita);
    // Kcal burnt by the sport in the given hours, no decimals.
    // The sports whose calories are known, in the order the user window offers them.
    static QStringList sports();
    static QString calcolacaloriesport(const QString& peso, const QString& sport,
                                       const QString& ore);
    // Daily kcal that reach the desired weight in the given days, no decimals.
    static QString calcolarazione(const QString& peso, const QString& pesodes,
                                  const QString& fabbenerg, const QString& giorni);
};
