#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One reference intake of the LARN table (data/larn.tsv) for a nutrient.
struct ReferenceValue {
    enum class Kind { PRI, AI, RI, SDT };
    QString nutrient; // the `nutrienti` column, or proteine, lipidi, carboidrati
    Kind kind = Kind::PRI;
    std::optional<double> low;  // the intake to reach (PRI, AI, lower end, SDT minimum)
    std::optional<double> high; // the upper end of an RI, the limit of an SDT
    QString lowText, highText;  // as the table writes them, in the Italian notation
    QString unit;               // g, mg, µg, g/kg, %en, g/1000kcal
    QString note;
    QString source;
    // For a value per kg of body weight made into grams for a person: the table's value
    // per kg and the weight (unit becomes "g").
    std::optional<double> perKg;
    QString perKgText;

    // "PRI", "AI", "RI", "SDT".
    QString kindName() const;
    // "PRI 1000 mg", "SDT < 10 %en", "RI 45–60 %en", "SDT ≥ 25 g", "PRI 0,90 g/kg (57,6 g)".
    QString text() const;
    // Judged on an intake in this reference's unit: a limit is exceeded ("oltre"), an
    // intake to reach is missed ("sotto"), an RI is left below or above.
    enum class State { Below, Adequate, Above };
    State judge(double intake) const;
    // The intake in percent of the value it is measured against: the intake to reach,
    // the middle of a range, the limit for a limit.
    double percentOf(double intake) const;
    // Whether the reference is a limit not to exceed (an SDT without a minimum).
    bool isLimit() const { return !low && high; }
};

// The rows of the LARN table, and the choice of a person's references among them.
class ReferenceIntakes {
public:
    struct Row {
        QString sex; // "M" or "F"
        int ageMin = 0;
        std::optional<int> ageMax; // empty: no upper bound
        ReferenceValue value;
    };

    // The person as the choice needs them; an empty field is unknown.
    struct Person {
        std::optional<int> age;       // completed years
        QString sex;                  // "M" (or "G", as the energy requirement reads it) or "F"
        std::optional<double> weight; // kg
    };

    // A person's references: each nutrient's rows (a nutrient may have two, e.g. fibre's
    // RI per 1000 kcal and its SDT in grams), the group they come from and notes on what
    // was assumed or left out.
    struct Chosen {
        QString group;     // "Donna, 30–59 anni"; empty when no group applies
        bool adult = true; // the group is one of the adults' (from 18 years)
        QStringList notes; // Italian sentences
        QList<ReferenceValue> values;
        QList<ReferenceValue> of(const QString& nutrient) const;
    };

    ReferenceIntakes() = default;
    // The table shipped with the application (the data library's resource).
    static const ReferenceIntakes& larn();
    // A table from the text of a larn.tsv file; rows that cannot be read are skipped and
    // counted in `skipped`.
    static ReferenceIntakes fromTsv(const QString& text, int* skipped = nullptr);

    const QList<Row>& rows() const { return rows_; }

    // The references for a person: the group of their age (11–14, 15–17, 18–29, 30–59,
    // 60–74, from 75) and sex. Without an age: the adults 30–59. Without a sex: for each
    // reference the higher value of the two sexes to reach, the lower limit (the stricter
    // of the two). Under 11 years: none (the table has no children's groups). A value
    // per kg of body weight needs the weight; without it the reference is left out.
    // Each assumption is a note.
    Chosen choose(const Person& person) const;

private:
    QList<Row> rows_;
};
