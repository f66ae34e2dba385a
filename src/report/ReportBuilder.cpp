#include "ReportBuilder.h"

#include "ItalianText.h"
#include "WeekModel.h"
#include "WeeklyPlanner.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace {

// Opens the title line: 30 blanks and "Dieta di ".
const QString titleStart = QString(30, QLatin1Char(' ')) + QStringLiteral("Dieta di ");
const QString dayIndent(9, QLatin1Char(' '));

// The heading emitted above the first position of each meal group. The spellings are
// the ones users know from their printed reports.
QString headingBefore(int position)
{
    switch (position) {
    case 1:
        return QStringLiteral("Aliementi della Colazione");
    case 5:
        return QStringLiteral("Alimenti del pranzo");
    case 10:
        return QStringLiteral("Aliementi della cena");
    case 15:
        return QStringLiteral("Spuntini e Condimento");
    default:
        return {};
    }
}

} // namespace

QString ReportBuilder::slotLine(const SlotTexts& texts)
{
    return QStringLiteral("Alimento:   ") + texts.food + QStringLiteral("   ") +
           QStringLiteral("gr. ") + texts.grams + QStringLiteral("  ") + QStringLiteral(" ") +
           QStringLiteral("Kcal: ") + texts.kcal;
}

QStringList ReportBuilder::lines(const QString& name, const QString& date,
                                 const std::function<QString(int)>& dayCaption,
                                 const std::function<QString(int)>& dayTotal,
                                 const std::function<SlotTexts(int)>& slotTexts,
                                 const HouseholdPortion::Lookup& portions)
{
    QStringList out;
    out << titleStart + name + QLatin1Char(' ') + date;
    out << QString();
    for (int day = 1; day <= 7; ++day) {
        out << QString();
        out << dayIndent + dayCaption(day) + QStringLiteral(" kcal tot. ") + dayTotal(day);
        out << QString();
        for (int position = 1; position <= 19; ++position) {
            const QString heading = headingBefore(position);
            if (!heading.isEmpty())
                out << QString() << heading;
            SlotTexts texts = slotTexts(100 * day + position);
            if (texts.food.isEmpty())
                continue;
            if (const QString portion =
                    HouseholdPortion::nearest(texts.grams, texts.food, portions);
                !portion.isEmpty())
                texts.grams += QStringLiteral(", ") + portion;
            out << slotLine(texts);
        }
    }
    return out;
}

ReportBuilder::DisplayedWeek
ReportBuilder::displayed(const QTabWidget* pages, const std::function<MealSlot(int)>& slotLookup)
{
    DisplayedWeek week;
    week.dayCaption = [pages](int day) {
        return pages && day <= pages->count() ? pages->tabText(day - 1) : QString();
    };
    week.dayTotal = [pages](int day) {
        const QLabel* label =
            pages ? pages->findChild<QLabel*>(QStringLiteral("tot%1").arg(day)) : nullptr;
        return label ? label->text() : QString();
    };
    week.slotTexts = [slotLookup](int number) {
        const MealSlot s = slotLookup(number);
        SlotTexts texts;
        if (s.food)
            texts.food = s.food->currentText();
        if (s.grams)
            texts.grams = s.grams->text();
        if (s.kcal)
            texts.kcal = s.kcal->text();
        return texts;
    };
    return week;
}

ReportBuilder::DisplayedWeek ReportBuilder::displayed(const WeeklyPlanner& planner)
{
    const QTabWidget* pages = planner.frame().PageControl1;
    return displayed(planner.model(), [pages](int day) {
        return pages && day <= pages->count() ? pages->tabText(day - 1) : QString();
    });
}

ReportBuilder::DisplayedWeek ReportBuilder::displayed(const WeekModel& week,
                                                      const std::function<QString(int)>& dayCaption)
{
    DisplayedWeek displayed;
    displayed.dayCaption = dayCaption;
    displayed.dayTotal = [&week](int day) { return week.dayTotal(day); };
    displayed.slotTexts = [&week](int number) {
        const WeekModel::Slot& s = week.slot(number);
        return SlotTexts{s.food, s.grams, s.kcal};
    };
    return displayed;
}

QStringList ReportBuilder::fromGrid(const QTabWidget* pages,
                                    const std::function<MealSlot(int)>& slotLookup,
                                    const QString& name, const QString& date,
                                    const HouseholdPortion::Lookup& portions)
{
    const DisplayedWeek week = displayed(pages, slotLookup);
    return lines(name, date, week.dayCaption, week.dayTotal, week.slotTexts, portions);
}

QStringList ReportBuilder::fromPlanner(const WeeklyPlanner& planner, const QString& name,
                                       const QString& date,
                                       const HouseholdPortion::Lookup& portions)
{
    const DisplayedWeek week = displayed(planner);
    return lines(name, date, week.dayCaption, week.dayTotal, week.slotTexts, portions);
}

QString ReportBuilder::today()
{
    return ItalianText::shortDate(QDate::currentDate());
}
