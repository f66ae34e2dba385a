#include "FoodChooser.h"

#include "FoodWordSearch.h"

#include <QColor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>
#include <QStringListModel>
#include <algorithm>
#include <vector>

namespace {

// A text with every character case-folded, as a comparison that ignores letter case sees it.
QString folded(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        c = c.toCaseFolded();
    return out;
}

} // namespace

// The shared list's names case-folded and sorted by their characters, each with its place
// in the list. The names that begin with a text form one run of this order, found by
// binary search; the earliest place in the run comes from a table of minima over spans of
// 1, 2, 4, … names. Built on the first look-up after the list changed.
class FoodPrefixIndex : public QObject {
public:
    explicit FoodPrefixIndex(QStringListModel* model) : QObject(model), model_(model)
    {
        setObjectName(QStringLiteral("foodPrefixIndex"));
        const auto stale = [this] { built_ = false; };
        connect(model, &QAbstractItemModel::modelReset, this, stale);
        connect(model, &QAbstractItemModel::dataChanged, this, stale);
        connect(model, &QAbstractItemModel::rowsInserted, this, stale);
        connect(model, &QAbstractItemModel::rowsRemoved, this, stale);
        connect(model, &QAbstractItemModel::rowsMoved, this, stale);
        connect(model, &QAbstractItemModel::layoutChanged, this, stale);
    }

    static FoodPrefixIndex* of(QStringListModel* model)
    {
        auto* index = model->findChild<FoodPrefixIndex*>(QString(), Qt::FindDirectChildrenOnly);
        return index ? index : new FoodPrefixIndex(model);
    }

    // The first place in the list whose name begins with `text`, letter case ignored; -1.
    int firstStartingWith(const QString& text)
    {
        if (!built_)
            build();
        const QString key = folded(text);
        const auto lo =
            std::lower_bound(names_.begin(), names_.end(), key,
                             [](const Entry& e, const QString& k) { return e.name < k; });
        const auto hi = std::partition_point(
            lo, names_.end(), [&key](const Entry& e) { return e.name.startsWith(key); });
        if (lo == hi)
            return -1;
        const int from = int(lo - names_.begin());
        const int span = int(hi - lo);
        int level = 0;
        while ((2 << level) <= span)
            ++level;
        return std::min(minima_[level][from], minima_[level][from + span - (1 << level)]);
    }

    // Whether a name of the list equals `text`, letter case ignored.
    bool contains(const QString& text)
    {
        if (!built_)
            build();
        const QString key = folded(text);
        const auto at =
            std::lower_bound(names_.begin(), names_.end(), key,
                             [](const Entry& e, const QString& k) { return e.name < k; });
        return at != names_.end() && at->name == key;
    }

private:
    struct Entry {
        QString name;
        int place;
    };

    void build()
    {
        const QStringList list = model_->stringList();
        names_.clear();
        names_.reserve(list.size());
        for (int i = 0; i < list.size(); ++i)
            names_.push_back({folded(list.at(i)), i});
        std::stable_sort(names_.begin(), names_.end(),
                         [](const Entry& a, const Entry& b) { return a.name < b.name; });
        const int n = int(names_.size());
        minima_.assign(1, std::vector<int>(n));
        for (int i = 0; i < n; ++i)
            minima_[0][i] = names_[i].place;
        for (int level = 1; (1 << level) <= n; ++level) {
            const std::vector<int>& below = minima_[level - 1];
            std::vector<int> row(n - (1 << level) + 1);
            for (int i = 0; i < int(row.size()); ++i)
                row[i] = std::min(below[i], below[i + (1 << (level - 1))]);
            minima_.push_back(std::move(row));
        }
        built_ = true;
    }

    QStringListModel* model_;
    std::vector<Entry> names_;
    std::vector<std::vector<int>> minima_;
    bool built_ = false;
};

FoodChooser::FoodChooser(QStringListModel* foods, QWidget* parent)
    : QComboBox(parent), foods_(foods)
{
    setEditable(true);
    // The list is shared by every chooser: typed texts never go into it, and the
    // type-ahead below replaces the combo box's own completer.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setModel(foods_);
    // A width that does not depend on the entries: measuring thousands of names in
    // every chooser each time the list is refilled would take seconds.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(40);
    setMaxVisibleItems(20);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, &FoodChooser::textTyped);
    connect(this, &QComboBox::activated, this, &FoodChooser::entryActivated);
    wordSearch_ = new FoodWordSearch(this);
    // A text that names no food is marked as soon as it is there, typed or set.
    normalPalette_ = lineEdit()->palette();
    normalToolTip_ = toolTip();
    connect(lineEdit(), &QLineEdit::textChanged, this, &FoodChooser::markRecognised);
    connect(foods_, &QAbstractItemModel::modelReset, this, &FoodChooser::markRecognised);
    connect(foods_, &QAbstractItemModel::layoutChanged, this, &FoodChooser::markRecognised);
    connect(foods_, &QAbstractItemModel::dataChanged, this, &FoodChooser::markRecognised);
    connect(foods_, &QAbstractItemModel::rowsInserted, this, &FoodChooser::markRecognised);
    connect(foods_, &QAbstractItemModel::rowsRemoved, this, &FoodChooser::markRecognised);
}

bool FoodChooser::namesFood(QStringListModel* foods, const QString& text)
{
    return FoodPrefixIndex::of(foods)->contains(text);
}

void FoodChooser::markRecognised()
{
    const QString text = currentText();
    const bool known = text.isEmpty() || namesFood(foods_, text);
    if (known == recognised_)
        return;
    recognised_ = known;
    if (known) {
        lineEdit()->setPalette(normalPalette_);
        setToolTip(normalToolTip_);
        setAccessibleDescription(QString());
        return;
    }
    // Dark red on pale red: 6:1, readable, and not the colour of any other field.
    QPalette marked = normalPalette_;
    marked.setColor(QPalette::Text, QColor(0xb0, 0x00, 0x00));
    marked.setColor(QPalette::Base, QColor(0xff, 0xe0, 0xe0));
    lineEdit()->setPalette(marked);
    const QString why = QStringLiteral("Alimento non presente in archivio: non può essere salvato");
    setToolTip(why);
    setAccessibleDescription(why);
}

void FoodChooser::pickEntry(int index)
{
    setCurrentIndex(index);
    entryActivated(index);
}

void FoodChooser::setFoodText(const QString& text)
{
    chosen_ = -1;
    if (currentText() != text)
        setEditText(text);
}

void FoodChooser::entryActivated(int index)
{
    chosen_ = index;
    emit picked();
}

void FoodChooser::focusOutEvent(QFocusEvent* event)
{
    // Leaving the field: the toolkit takes a text that names an entry other than the
    // current index as that entry activated, which would run the pick handling (and set
    // the change flag) for a slot nobody touched. The index is brought to the text first,
    // quietly.
    const QString text = lineEdit() ? lineEdit()->text() : QString();
    if (!text.isEmpty() && itemText(currentIndex()) != text) {
        const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0) {
            const QSignalBlocker quiet(this);
            setCurrentIndex(index);
        }
    }
    QComboBox::focusOutEvent(event);
}

bool FoodChooser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        deleting_ = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    }
    return QComboBox::eventFilter(watched, event);
}

int FoodChooser::firstStartingWith(QStringListModel* foods, const QString& text)
{
    return FoodPrefixIndex::of(foods)->firstStartingWith(text);
}

void FoodChooser::textTyped(const QString& text)
{
    emit edited();
    // Deleting completes nothing, or Backspace could never remove a completion.
    if (deleting_ || text.isEmpty())
        return;
    // The list is sorted for the eye (Italian collation), not by characters: the first
    // entry that begins with the text is found through the shared prefix index.
    const int found = firstStartingWith(foods_, text);
    if (found < 0) {
        chosen_ = -1;
        return;
    }
    const QString entry = foods_->stringList().at(found);
    if (currentIndex() != found)
        setCurrentIndex(found);
    if (lineEdit()->text() != entry)
        lineEdit()->setText(entry);
    lineEdit()->setSelection(int(text.size()), int(entry.size() - text.size()));
    if (found != chosen_) {
        chosen_ = found;
        emit picked();
    }
}
