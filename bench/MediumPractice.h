#pragma once

#include <QString>
#include <QStringList>

// The M data set of the benchmarks (7,413 foods, 1,000 people each with a full week of
// 133 menu rows) with what the shopping list and the equivalents read besides: the foods'
// edible shares and groups and the shipped dishes with their ingredients. The foods are
// the shipped ones with their values, shares and groups, the shipped dishes (values
// computed from their ingredients, as the seed writes them), then items of the USDA table
// with their own values and edible share, each given one of the shipped food groups in
// turn. Every day of a week has a dish at lunch and at dinner.
namespace MediumPractice {

constexpr int Foods = 7413;
constexpr int People = 1000;

struct Made {
    int foods = 0;
    int dishes = 0;
    int grouped = 0; // foods with a group
    int groups = 0;  // distinct groups
    int people = 0;
    int menuRows = 0;
    QStringList dishNames;
};

// Writes a new database file at `path` (replacing one there); false, with the reason on
// stderr, when it cannot.
bool write(const QString& path, Made* made);

} // namespace MediumPractice
