#include "TableSchema.h"

#include "NutrientPanel.h"

int TableSchema::indexOf(const QString& column) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const TableSchema& TableSchema::alimenti()
{
    static const TableSchema schema{QStringLiteral("alimenti"),
                                    {{QStringLiteral("Alimento"), FieldType::Text, 255},
                                     {QStringLiteral("%edibile"), FieldType::Float},
                                     {QStringLiteral("Acqua"), FieldType::Float},
                                     {QStringLiteral("Proteine"), FieldType::Float},
                                     {QStringLiteral("Lipidi"), FieldType::Float},
                                     {QStringLiteral("Carboidrati"), FieldType::Float},
                                     {QStringLiteral("kcal100"), FieldType::Float}}};
    return schema;
}

const TableSchema& TableSchema::utenti()
{
    static const TableSchema schema{QStringLiteral("Utenti"),
                                    {{QStringLiteral("ID"), FieldType::AutoNumber},
                                     {QStringLiteral("id_utente"), FieldType::Integer},
                                     {QStringLiteral("Nome"), FieldType::Text, 30},
                                     {QStringLiteral("eta"), FieldType::Integer},
                                     {QStringLiteral("peso"), FieldType::Integer},
                                     {QStringLiteral("altezza"), FieldType::Integer},
                                     {QStringLiteral("sesso"), FieldType::Text, 2},
                                     {QStringLiteral("corporatura"), FieldType::Text, 15},
                                     {QStringLiteral("attivita"), FieldType::Text, 15},
                                     {QStringLiteral("girovita"), FieldType::Integer},
                                     {QStringLiteral("foto"), FieldType::Text, 50},
                                     {QStringLiteral("sport"), FieldType::Text, 50},
                                     {QStringLiteral("ore"), FieldType::Integer},
                                     {QStringLiteral("pesodes"), FieldType::Integer},
                                     {QStringLiteral("giorni"), FieldType::Integer}}};
    return schema;
}

const TableSchema& TableSchema::dieta()
{
    static const TableSchema schema{QStringLiteral("dieta"),
                                    {{QStringLiteral("ID_Utente"), FieldType::Integer},
                                     {QStringLiteral("ID_Combo"), FieldType::Integer},
                                     {QStringLiteral("Alimento"), FieldType::Text, 50},
                                     {QStringLiteral("grammi"), FieldType::Text, 50}},
                                    // One menu row per person and slot.
                                    {QStringLiteral("ID_Utente"), QStringLiteral("ID_Combo")}};
    return schema;
}

const TableSchema& TableSchema::nutrienti()
{
    static const TableSchema schema = [] {
        TableSchema t{QStringLiteral("nutrienti"),
                      {{QStringLiteral("Alimento"), FieldType::Text, 255},
                       {QStringLiteral("fonte"), FieldType::Text, 60}},
                      // One panel per food.
                      {QStringLiteral("Alimento")}};
        for (const NutrientDef& n : NutrientPanel::all())
            t.columns.append({n.column, FieldType::Float});
        return t;
    }();
    return schema;
}

const TableSchema& TableSchema::visite()
{
    static const TableSchema schema{QStringLiteral("visite"),
                                    {{QStringLiteral("ID"), FieldType::AutoNumber},
                                     {QStringLiteral("ID_Utente"), FieldType::Integer},
                                     {QStringLiteral("data"), FieldType::Text, 10},
                                     {QStringLiteral("peso"), FieldType::Float},
                                     {QStringLiteral("girovita"), FieldType::Float},
                                     {QStringLiteral("fianchi"), FieldType::Float},
                                     {QStringLiteral("massagrassa"), FieldType::Float},
                                     {QStringLiteral("note"), FieldType::Text, 2000},
                                     {QStringLiteral("migrata"), FieldType::Integer}}};
    return schema;
}

const TableSchema& TableSchema::piani()
{
    static const TableSchema schema{QStringLiteral("piani"),
                                    {{QStringLiteral("ID"), FieldType::AutoNumber},
                                     {QStringLiteral("ID_Utente"), FieldType::Integer},
                                     {QStringLiteral("nome"), FieldType::Text, 50},
                                     {QStringLiteral("inizio"), FieldType::Text, 10},
                                     {QStringLiteral("modello"), FieldType::Integer}}};
    return schema;
}

const TableSchema& TableSchema::pianiRighe()
{
    static const TableSchema schema{QStringLiteral("piani_righe"),
                                    {{QStringLiteral("ID_Piano"), FieldType::Integer},
                                     {QStringLiteral("ID_Combo"), FieldType::Integer},
                                     {QStringLiteral("Alimento"), FieldType::Text, 50},
                                     {QStringLiteral("grammi"), FieldType::Text, 50}},
                                    // One row per plan and slot.
                                    {QStringLiteral("ID_Piano"), QStringLiteral("ID_Combo")}};
    return schema;
}

const TableSchema& TableSchema::ricette()
{
    static const TableSchema schema{QStringLiteral("ricette"),
                                    {{QStringLiteral("Alimento"), FieldType::Text, 255},
                                     {QStringLiteral("peso_cotto"), FieldType::Float}},
                                    // One recipe per food.
                                    {QStringLiteral("Alimento")}};
    return schema;
}

const TableSchema& TableSchema::gruppiAlimenti()
{
    static const TableSchema schema{QStringLiteral("gruppi_alimenti"),
                                    {{QStringLiteral("Alimento"), FieldType::Text, 255},
                                     {QStringLiteral("gruppo"), FieldType::Text, 60}},
                                    // One group per food.
                                    {QStringLiteral("Alimento")}};
    return schema;
}

const TableSchema& TableSchema::ricetteIngredienti()
{
    static const TableSchema schema{QStringLiteral("ricette_ingredienti"),
                                    {{QStringLiteral("Ricetta"), FieldType::Text, 255},
                                     {QStringLiteral("posizione"), FieldType::Integer},
                                     {QStringLiteral("Alimento"), FieldType::Text, 255},
                                     {QStringLiteral("grammi"), FieldType::Float}},
                                    // One ingredient per recipe and place.
                                    {QStringLiteral("Ricetta"), QStringLiteral("posizione")}};
    return schema;
}

const TableSchema& TableSchema::porzioni()
{
    static const TableSchema schema{QStringLiteral("porzioni"),
                                    {{QStringLiteral("Alimento"), FieldType::Text, 255},
                                     {QStringLiteral("nome"), FieldType::Text, 50},
                                     {QStringLiteral("grammi"), FieldType::Float}},
                                    // One weight per food and portion name.
                                    {QStringLiteral("Alimento"), QStringLiteral("nome")}};
    return schema;
}

const TableSchema& TableSchema::alternative()
{
    static const TableSchema schema{
        QStringLiteral("alternative"),
        {{QStringLiteral("ID_Utente"), FieldType::Integer},
         {QStringLiteral("ID_Combo"), FieldType::Integer},
         {QStringLiteral("posizione"), FieldType::Integer},
         {QStringLiteral("Alimento"), FieldType::Text, 255},
         {QStringLiteral("Equivalente"), FieldType::Text, 255},
         {QStringLiteral("grammi"), FieldType::Float}},
        // One alternative per person, slot and place.
        {QStringLiteral("ID_Utente"), QStringLiteral("ID_Combo"), QStringLiteral("posizione")}};
    return schema;
}

const QList<const TableSchema*>& TableSchema::all()
{
    static const QList<const TableSchema*> tables{
        &alimenti(), &utenti(),     &dieta(),   &nutrienti(),          &visite(),
        &piani(),    &pianiRighe(), &ricette(), &ricetteIngredienti(), &gruppiAlimenti(),
        &porzioni(), &alternative()};
    return tables;
}

const QList<const TableSchema*>& TableSchema::added()
{
    static const QList<const TableSchema*> tables{
        &nutrienti(),          &visite(),         &piani(),    &pianiRighe(), &ricette(),
        &ricetteIngredienti(), &gruppiAlimenti(), &porzioni(), &alternative()};
    return tables;
}
