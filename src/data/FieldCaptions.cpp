#include "FieldCaptions.h"

#include "NutrientPanel.h"
#include "TableSchema.h"

#include <QList>

namespace {

struct Caption {
    QString table;
    QString field;
    QString caption;
};

QList<Caption> makeCaptions()
{
    const QString people = TableSchema::utenti().name;
    const QString foods = TableSchema::alimenti().name;
    const QString menu = TableSchema::dieta().name;
    QList<Caption> captions{
        // A person: the captions of the main window's person panel.
        // The two keys, which the people grid keeps hidden: a screen reader still lists them.
        {people, QStringLiteral("ID"), QStringLiteral("Numero")},
        {people, QStringLiteral("id_utente"), QStringLiteral("Codice persona")},
        {people, QStringLiteral("Nome"), QStringLiteral("Nome e Cognome")},
        {people, QStringLiteral("eta"), QStringLiteral("Età")},
        {people, QStringLiteral("peso"), QStringLiteral("Peso (kg)")},
        {people, QStringLiteral("altezza"), QStringLiteral("Altezza (cm)")},
        {people, QStringLiteral("sesso"), QStringLiteral("Sesso")},
        {people, QStringLiteral("corporatura"), QStringLiteral("Corporatura")},
        {people, QStringLiteral("attivita"), QStringLiteral("Attività")},
        {people, QStringLiteral("girovita"), QStringLiteral("Girovita (cm)")},
        {people, QStringLiteral("foto"), QStringLiteral("Foto inizio dieta")},
        {people, QStringLiteral("sport"), QStringLiteral("Sport")},
        {people, QStringLiteral("ore"), QStringLiteral("Ore")},
        {people, QStringLiteral("pesodes"), QStringLiteral("Peso desiderato (kg)")},
        {people, QStringLiteral("giorni"), QStringLiteral("Giorni")},
        {people, QStringLiteral("BMI"), QStringLiteral("BMI")},
        {people, QStringLiteral("pesoidea"), QStringLiteral("Peso Ideale")},
        {people, QStringLiteral("fabbenerg"), QStringLiteral("Fabb. Energ. Kcal")},
        {people, QStringLiteral("%massagrassa"), QStringLiteral("% Massa grassa")},
        {people, QStringLiteral("caloriesport"), QStringLiteral("Calorie sport")},
        {people, QStringLiteral("razzterr"), QStringLiteral("Razione ter.")},
        // A food: the captions of the food window's fields.
        {foods, QStringLiteral("kcal100"), QStringLiteral("Kcal/100")},
        // A slot of the week: the grid's column heading.
        {menu, QStringLiteral("grammi"), QStringLiteral("Grammi")},
    };
    // A visit: the headings of the visits window's table.
    const QString visits = TableSchema::visite().name;
    captions.append({visits, QStringLiteral("data"), QStringLiteral("Data")});
    captions.append({visits, QStringLiteral("peso"), QStringLiteral("Peso (kg)")});
    captions.append({visits, QStringLiteral("girovita"), QStringLiteral("Girovita (cm)")});
    captions.append({visits, QStringLiteral("fianchi"), QStringLiteral("Fianchi (cm)")});
    captions.append(
        {visits, QStringLiteral("massagrassa"), QStringLiteral("Massa grassa misurata (%)")});
    captions.append({visits, QStringLiteral("note"), QStringLiteral("Note")});
    // A food's panel: the nutrient with its unit per 100 g.
    const QString nutrients = TableSchema::nutrienti().name;
    captions.append({nutrients, QStringLiteral("fonte"), QStringLiteral("Fonte")});
    for (int i = 0; i < NutrientPanel::Count; ++i)
        captions.append(
            {nutrients, NutrientPanel::all()[i].column, NutrientPanel::captionWithUnit(i)});
    // A recipe: the cooked weight, and an ingredient's grams, as the Ricetta page heads them.
    captions.append({TableSchema::ricette().name, QStringLiteral("peso_cotto"),
                     QStringLiteral("Peso cotto (g)")});
    captions.append({TableSchema::ricetteIngredienti().name, QStringLiteral("grammi"),
                     QStringLiteral("Grammi dell'ingrediente")});
    return captions;
}

} // namespace

namespace FieldCaptions {

QString of(const QString& table, const QString& field)
{
    static const QList<Caption> captions = makeCaptions();
    for (const Caption& c : captions)
        if (c.table.compare(table, Qt::CaseInsensitive) == 0 &&
            c.field.compare(field, Qt::CaseInsensitive) == 0)
            return c.caption;
    return field;
}

} // namespace FieldCaptions
