#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <functional>

// A food's household portions ("1 cucchiaio", 10 g) and the one nearest to a slot's grams,
// shown beside the grams in the handout and the printed report ("20 g, 2 cucchiai").
namespace HouseholdPortion {

// A portion's name, as the food table keeps it ("1 fetta"), and its weight in grams.
using Portion = QPair<QString, double>;
// The portions of a food by its name (none: no portion is shown).
using Lookup = std::function<QList<Portion>(const QString& food)>;

// The plural of a portion's unit ("cucchiaio" → "cucchiai", "frutto medio" → "frutti medi");
// a unit followed by " di …" or " (…" has its first part made plural. Empty for a unit
// without a known plural.
QString plural(const QString& unit);

// The portion nearest to `grams`: ½, 1, 2 … 10 times one of `portions`, only when the grams
// are within 10 % of it. Fewer portions win over more (1 porzione over 8 cucchiai), ½ comes
// after 1 and before 2, then the closer one, then the earlier in the list. Texts: the name
// itself once ("1 fetta"), "½ fetta", "2 fette"; "2 × <unit>" for a unit without a known
// plural. Empty when no portion is near enough.
QString nearest(double grams, const QList<Portion>& portions);

// The same for a slot: the grams as the grid shows them (the desktop's notation) and the
// food's name. Empty without a lookup, for grams that are no number above zero, or when no
// portion is near enough.
QString nearest(const QString& gramsText, const QString& food, const Lookup& portions);

} // namespace HouseholdPortion
