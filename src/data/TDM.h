#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

class DataSource;
class Dataset;
class DatabaseError;
class Field;
class RecordStore;

// The data module: the one gateway to the diet database. It owns the connection, the
// datasets of the three tables with their field members, the binding points of the
// foods and the people, and the hooks that produce the body metrics and report writes.
// Creating it opens the database (a file, or a PostgreSQL URI) and reads every table; it
// throws DatabaseError when the database cannot be opened.
class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(const QString& location = QStringLiteral("alimenti.mdb"),
                 QObject* parent = nullptr);
    ~TDM() override;

    Dataset* alimenti = nullptr;
    Field* alimentiAlimento = nullptr;
    Field* alimentiedibile = nullptr;
    Field* alimentiAcqua = nullptr;
    Field* alimentiProteine = nullptr;
    Field* alimentiLipidi = nullptr;
    Field* alimentiCarboidrati = nullptr;
    Field* alimentikcal100 = nullptr;
    DataSource* DSAlimenti = nullptr;
    Dataset* utente = nullptr;
    DataSource* DSUtente = nullptr;
    RecordStore* ADOConnection1 = nullptr;
    Field* utenteID = nullptr;
    Field* utenteid_utente = nullptr;
    Field* utenteNome = nullptr;
    Field* utenteeta = nullptr;
    Field* utentepeso = nullptr;
    Field* utentealtezza = nullptr;
    Field* utentesesso = nullptr;
    Field* utentecorporatura = nullptr;
    Field* utenteattivita = nullptr;
    Field* utenteBMI = nullptr;
    Field* utentepesoidea = nullptr;
    Field* utentefabbenerg = nullptr;
    Dataset* Dieta = nullptr;
    Field* Dietaid_utente = nullptr;
    Field* Dietaid_combo = nullptr;
    Field* DietaAlimento = nullptr;
    Field* DietaGrammi = nullptr;
    Field* utentegirovita = nullptr;
    Field* utentemassagrassa = nullptr;
    Field* utentefoto = nullptr;
    Field* utentesport = nullptr;
    Field* utenteore = nullptr;
    Field* utentecaloriesport = nullptr;
    Field* utentepesodes = nullptr;
    Field* utentegiorni = nullptr;
    Field* utenterazzterr = nullptr;

    // Hooks.
    void utenteCalcFields(Dataset& dataset);
    // Refuse a person's measures or a food's composition outside their ranges.
    void utenteBeforePost(Dataset& dataset, const QVector<QVariant>& values,
                          const QVector<QVariant>* stored);
    void alimentiBeforePost(Dataset& dataset, const QVector<QVariant>& values,
                            const QVector<QVariant>* stored);
    void utentePostError(Dataset& dataset, const DatabaseError& error);
    void alimentiPostError(Dataset& dataset, const DatabaseError& error);
    void utenteAfterPost(Dataset& dataset);
    void alimentiAfterPost(Dataset& dataset);

    // How many people's stored weeks name the food (letter case aside), leaving out the
    // person `except` (-1: nobody).
    int peopleUsingFood(const QString& name, qint64 except = -1) const;

signals:
    // A food's name changed, and with it every stored week that named it.
    void foodRenamed(const QString& from, const QString& to);

private:
    // In the transaction of a food's write: its new name into every stored week that
    // names the old one. Returns what memory does after the commit (nothing to do: empty).
    std::function<void()> renameInWeeks(const QString& from, const QString& to);

    std::unique_ptr<RecordStore> store_;
};

// The application's one data module.
extern TDM* DM;
