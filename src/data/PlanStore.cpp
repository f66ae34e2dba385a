#include "PlanStore.h"

#include "AppError.h"
#include "Dataset.h"
#include "FieldText.h"
#include "RecordStore.h"
#include "TDM.h"
#include "TableSchema.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

// The columns of `piani` and `piani_righe`.
enum PlanColumn { PlanId, PlanPerson, PlanName, PlanStart, PlanKind };
enum SlotColumn { SlotPlan, SlotNumber, SlotFood, SlotGrams };

QVariant textOrNull(const QString& text)
{
    return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

} // namespace

PlanStore::PlanStore(TDM* dm, QObject* parent)
    : QObject(parent), dm_(dm), store_(dm->ADOConnection1)
{
    setObjectName(QStringLiteral("plans"));
}

PlanStore::~PlanStore()
{
    delete plans_;
}

QString PlanStore::currentPlanCaption()
{
    return QStringLiteral("Piano attuale");
}

QString PlanStore::storedDate(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString PlanStore::shownDate(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yy")) : QString();
}

QDate PlanStore::parseDate(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{1,2})[/.\\-](\\d{1,2})[/.\\-](\\d{2}|\\d{4})\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return {};
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year += 2000;
    return QDate(year, m.captured(2).toInt(), m.captured(1).toInt());
}

Dataset* PlanStore::plans()
{
    if (!plans_) {
        plans_ = new Dataset(QStringLiteral("piani"), store_, TableSchema::piani(), {}, {});
        connect(plans_, &Dataset::rowsChanged, this, [this] {
            indexStale_ = true;
            emit plansChanged();
        });
    }
    // Read at the first use; a failure (a server away) is tried again at the next.
    if (!plans_->isOpen()) {
        plans_->open();
        indexStale_ = true;
    }
    return plans_;
}

const QList<int>& PlanStore::rowsOf(qint64 person)
{
    Dataset* d = plans();
    if (indexStale_) {
        byPerson_.clear();
        byId_.clear();
        for (int row = 0; row < d->storedRowCount(); ++row) {
            if (!d->isStoredRowLive(row))
                continue;
            const QVariant p = d->storedValue(row, PlanPerson);
            byPerson_[p.isNull() ? -1 : p.toLongLong()] << row;
            byId_.insert(d->storedValue(row, PlanId).toLongLong(), row);
        }
        indexStale_ = false;
    }
    static const QList<int> none;
    const auto it = byPerson_.constFind(person);
    return it == byPerson_.constEnd() ? none : it.value();
}

bool PlanStore::isRead() const
{
    return plans_ && plans_->isOpen();
}

PlanEntry PlanStore::entryAt(int row) const
{
    PlanEntry e;
    e.id = plans_->storedValue(row, PlanId).toLongLong();
    const QVariant person = plans_->storedValue(row, PlanPerson);
    e.person = person.isNull() ? -1 : person.toLongLong();
    e.name = fieldValueText(plans_->storedValue(row, PlanName));
    e.start = QDate::fromString(fieldValueText(plans_->storedValue(row, PlanStart)),
                                QStringLiteral("yyyy-MM-dd"));
    e.kind = int(plans_->storedValue(row, PlanKind).toLongLong());
    return e;
}

QList<PlanEntry> PlanStore::keptPlansOf(qint64 person)
{
    QList<PlanEntry> found;
    for (int row : rowsOf(person)) {
        const PlanEntry e = entryAt(row);
        if (e.kind == Kept)
            found << e;
    }
    std::stable_sort(found.begin(), found.end(), [](const PlanEntry& a, const PlanEntry& b) {
        if (a.start != b.start)
            return a.start > b.start;
        return a.id > b.id;
    });
    return found;
}

std::optional<PlanEntry> PlanStore::currentOf(qint64 person)
{
    for (int row : rowsOf(person))
        if (plans_->storedValue(row, PlanKind).toLongLong() == Current)
            return entryAt(row);
    return std::nullopt;
}

QList<PlanEntry> PlanStore::templates()
{
    QList<PlanEntry> found;
    for (int row : rowsOf(-1))
        if (plans_->storedValue(row, PlanKind).toLongLong() == Template)
            found << entryAt(row);
    std::stable_sort(found.begin(), found.end(), [](const PlanEntry& a, const PlanEntry& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return found;
}

int PlanStore::rowOf(qint64 id)
{
    rowsOf(-1);
    return byId_.value(id, -1);
}

std::optional<PlanEntry> PlanStore::plan(qint64 id)
{
    const int row = rowOf(id);
    if (row < 0)
        return std::nullopt;
    return entryAt(row);
}

PlanStore::Slots PlanStore::slotsOf(qint64 plan) const
{
    Slots week;
    store_->scanRowsWhere(TableSchema::pianiRighe(), QStringLiteral("ID_Piano"), plan,
                          [&week](qint64, const QVector<QVariant>& values) {
                              week.insert(int(values.at(SlotNumber).toLongLong()),
                                          {fieldValueText(values.at(SlotFood)),
                                           fieldValueText(values.at(SlotGrams))});
                          });
    return week;
}

PlanStore::Slots PlanStore::storedWeekOf(qint64 person) const
{
    Slots week;
    const Dataset* menu = dm_->Dieta;
    const int personField = dm_->Dietaid_utente->index();
    const int slotField = dm_->Dietaid_combo->index();
    const int foodField = dm_->DietaAlimento->index();
    const int gramsField = dm_->DietaGrammi->index();
    for (int row = 0; row < menu->storedRowCount(); ++row) {
        if (!menu->isStoredRowLive(row) || menu->storedValue(row, personField).isNull() ||
            menu->storedValue(row, personField).toLongLong() != person)
            continue;
        const int number = int(menu->storedValue(row, slotField).toLongLong());
        if (!week.contains(number))
            week.insert(number, {fieldValueText(menu->storedValue(row, foodField)),
                                 fieldValueText(menu->storedValue(row, gramsField))});
    }
    return week;
}

void PlanStore::checkName(const QString& name, bool isTemplate, qint64 except)
{
    const QString trimmed = name.trimmed();
    const QString what = isTemplate ? QStringLiteral("del modello") : QStringLiteral("del piano");
    if (trimmed.isEmpty())
        throw DatabaseError(
            QStringLiteral("Scrivi il nome %1: non è stato salvato nulla.").arg(what));
    if (trimmed.size() > NameWidth)
        throw DatabaseError(QStringLiteral("Il nome %1 è troppo lungo (al massimo %2 caratteri): "
                                           "non è stato salvato nulla.")
                                .arg(what)
                                .arg(NameWidth));
    if (!isTemplate)
        return;
    for (const PlanEntry& t : templates())
        if (t.id != except && t.name.toCaseFolded() == trimmed.toCaseFolded())
            throw DatabaseError(QStringLiteral("Esiste già un modello di nome \"%1\": scegli un "
                                               "altro nome. Non è stato salvato nulla.")
                                    .arg(t.name));
}

qint64 PlanStore::writePlan(const std::vector<Dataset::RowWrite>& writes, const Slots& week)
{
    Dataset* d = plans();
    StoreTransaction transaction(*store_);
    const std::vector<qint64> keys = d->writeToStore(writes);
    writeSlots(keys.front(), week);
    transaction.commit();
    d->takeWrites(writes, keys);
    return keys.front();
}

void PlanStore::writeSlots(qint64 plan, const Slots& week)
{
    const TableSchema& table = TableSchema::pianiRighe();
    QList<int> numbers = week.keys();
    std::sort(numbers.begin(), numbers.end());
    for (int number : numbers) {
        const auto& texts = week.value(number);
        QVector<QVariant> row{plan, qint64(number), textOrNull(texts.first),
                              textOrNull(texts.second)};
        for (int i = 0; i < row.size(); ++i)
            row[i] = RecordStore::normalise(table.columns.at(i), row.at(i));
        store_->insertRow(table, row);
    }
}

qint64 PlanStore::keepWeek(qint64 person, const QString& name, const QDate& start,
                           const QString& nextName, const QDate& nextStart)
{
    checkName(name, false);
    checkName(nextName, false);
    const Slots week = storedWeekOf(person);
    const std::optional<PlanEntry> current = currentOf(person);
    std::vector<Dataset::RowWrite> writes;
    writes.push_back(
        {-1, {QVariant(), person, name.trimmed(), textOrNull(storedDate(start)), int(Kept)}});
    const QVector<QVariant> next{QVariant(), person, nextName.trimmed(),
                                 textOrNull(storedDate(nextStart)), int(Current)};
    if (current) {
        QVector<QVariant> values = next;
        values[PlanId] = current->id;
        writes.push_back({rowOf(current->id), values, false});
    } else {
        writes.push_back({-1, next, false});
    }
    return writePlan(writes, week);
}

qint64 PlanStore::makeTemplate(const QString& name, const Slots& week)
{
    checkName(name, true);
    const std::vector<Dataset::RowWrite> writes{
        {-1,
         {QVariant(), QVariant(QMetaType(QMetaType::LongLong)), name.trimmed(),
          QVariant(QMetaType(QMetaType::QString)), int(Template)}}};
    return writePlan(writes, week);
}

void PlanStore::rename(qint64 plan, const QString& name)
{
    const int row = rowOf(plan);
    if (row < 0)
        throw DatabaseError(QStringLiteral("Il piano non c'è più: forse è stato eliminato da "
                                           "un'altra postazione."));
    const PlanEntry e = entryAt(row);
    checkName(name, e.kind == Template, plan);
    QVector<QVariant> values(plans_->storedFieldCount());
    for (int i = 0; i < values.size(); ++i)
        values[i] = plans_->storedValue(row, i);
    values[PlanName] = name.trimmed();
    plans_->writeRows({{row, values, false}});
}

void PlanStore::remove(qint64 plan)
{
    const int row = rowOf(plan);
    if (row < 0)
        return;
    plans_->writeRows({{row, {}, true}}, [this, plan] {
        store_->deleteRowsWhere(TableSchema::pianiRighe(), QStringLiteral("ID_Piano"), plan);
    });
}

std::function<void()> PlanStore::deleteOfPerson(qint64 person)
{
    // Every plan of the person in the database, also those another program kept.
    QList<qint64> ids;
    store_->scanRowsWhere(
        TableSchema::piani(), QStringLiteral("ID_Utente"), person,
        [&ids](qint64, const QVector<QVariant>& values) { ids << values.at(PlanId).toLongLong(); });
    for (qint64 id : ids)
        store_->deleteRowsWhere(TableSchema::pianiRighe(), QStringLiteral("ID_Piano"), id);
    if (!ids.isEmpty())
        store_->deleteRowsWhere(TableSchema::piani(), QStringLiteral("ID_Utente"), person);
    if (ids.isEmpty() || !isRead())
        return {};
    return [this, person] {
        plans_->forgetRows(PlanPerson, person);
        emit plansChanged();
    };
}

std::function<void()> PlanStore::renameFood(const QString& from, const QString& to)
{
    if (from.isEmpty() || from == to)
        return {};
    const TableSchema& table = TableSchema::pianiRighe();
    const QString wanted = from.toCaseFolded();
    std::vector<StoredRow> rows;
    store_->scanRowsWhere(
        table, QStringLiteral("Alimento"), from,
        [&](qint64 key, const QVector<QVariant>& values) {
            if (fieldValueText(values.at(SlotFood)).toCaseFolded() == wanted)
                rows.push_back({key, values});
        },
        true);
    if (rows.empty())
        return {};
    const int width = table.columns.at(SlotFood).width;
    if (to.size() > width)
        throw DatabaseError(QStringLiteral("Il nuovo nome dell'alimento è troppo lungo per i "
                                           "piani e i modelli che usano \"%1\" (al massimo %2 "
                                           "caratteri): non è stato salvato nulla")
                                .arg(from)
                                .arg(width));
    for (const StoredRow& row : rows) {
        QVector<QVariant> after = row.values;
        after[SlotFood] = textOrNull(to);
        store_->updateRow(table, row.rowid, row.values, after);
    }
    return {};
}

bool PlanStore::refresh(const QList<qint64>& planKeys, bool slotsChanged)
{
    bool changed = false;
    if (isRead() && !planKeys.isEmpty())
        changed = plans_->refreshRows(planKeys).changed;
    if (slotsChanged && !changed)
        emit plansChanged();
    return changed || slotsChanged;
}
