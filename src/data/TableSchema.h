#pragma once

#include <QList>
#include <QString>
#include <QStringList>

enum class FieldType {
    Integer,   // whole number
    Float,     // floating-point number
    Text,      // text of at most `width` characters
    AutoNumber // integer assigned by the database on the first write, read-only
};

struct ColumnDef {
    QString name;
    FieldType type;
    int width = 0; // characters, for Text
};

// A table of the database file: its name and columns in order.
struct TableSchema {
    QString name;
    QList<ColumnDef> columns;
    // Columns whose values together name at most one row of the table (none: no such key).
    QStringList uniqueKey;

    // The index of a column, matched without regard to letter case; -1 when missing.
    int indexOf(const QString& column) const;

    // The three tables of the diet database.
    static const TableSchema& alimenti();
    static const TableSchema& utenti();
    static const TableSchema& dieta();
    // The nutrient panel of each food, keyed to its name: the food, its source, then the
    // panel's values per 100 g (NutrientPanel), an empty one not measured.
    static const TableSchema& nutrienti();
    // A person's visits: the date (yyyy-MM-dd), weight (kg), waist and hip (cm), the fat
    // mass measured in percent, notes; `migrata` 1 marks the first visit a person of an
    // earlier version received with the measures stored then.
    static const TableSchema& visite();
    // The plans kept beside the current week (which stays in `dieta`), and the templates:
    // a name, a start date (yyyy-MM-dd), the person (null for a template), `modello` 1
    // for a template.
    static const TableSchema& piani();
    // The slots of each kept plan or template: food and grams by slot number, as `dieta`
    // holds the current week's.
    static const TableSchema& pianiRighe();
    // The recipes: each is a food of `alimenti` (its name here, its values there computed
    // from the ingredients) with its cooked weight in grams, null for the sum of the
    // ingredients' grams.
    static const TableSchema& ricette();
    // The ingredients of each recipe in order: the recipe, the place, the food, its grams.
    static const TableSchema& ricetteIngredienti();
    // The group of each food (cereals, legumes, ...), keyed to its name as the panels are.
    static const TableSchema& gruppiAlimenti();
    // The household portions of each food ("1 fetta", "1 cucchiaio") with their grams.
    static const TableSchema& porzioni();
    // The foods the dietitian proposes in place of a slot's food ("oppure" in the handout):
    // the person, the slot, the place (1 to 3), the slot's food when it was proposed, the
    // food proposed and its grams.
    static const TableSchema& alternative();

    // The three tables every database holds, then those added since, in the order they
    // are created.
    static const QList<const TableSchema*>& all();
    // The tables a database of an earlier version may lack: the application adds them
    // when it opens the database.
    static const QList<const TableSchema*>& added();
    bool isAdded() const { return added().contains(this); }
};
