#include "DayPage.h"

#include "Accessibility.h"
#include "FoodChooser.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStringListModel>
#include <QVBoxLayout>

namespace {

const char* const groupHeadings[DayPage::Groups] = {"Alimenti della colazione",
                                                    "Alimenti del pranzo", "Alimenti della cena",
                                                    "Spuntini e Condimenti"};
const char* const groupCaptions[DayPage::Groups] = {"Colazione", "Pranzo", "Cena",
                                                    "Cond. e spunt."};
const char* const subtotalPrefixes[DayPage::Groups] = {"colazione", "pranzo", "cena", "spuntino"};
const char* const dayNames[7] = {"Lunedì",  "Martedì", "Mercoledì", "Giovedì",
                                 "Venerdì", "Sabato",  "Domenica"};
const char* const groupNames[DayPage::Groups] = {"colazione", "pranzo", "cena",
                                                 "condimenti e spuntini"};

const QColor red(0xff, 0x00, 0x00);
const QColor fuchsia(0xff, 0x00, 0xff);
const QColor green(0x00, 0x80, 0x00);
const QColor blue(0x00, 0x00, 0xff);
const QColor teal(0x00, 0x80, 0x80);
const QColor disabledText(0x50, 0x50, 0x50);

void paint(QWidget* widget, const QColor& colour, QPalette::ColorRole role)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
}

QLabel* boldLabel(const QString& text, const QColor& colour, QWidget* parent,
                  const QString& name = QString())
{
    auto* label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    paint(label, colour, QPalette::WindowText);
    return label;
}

} // namespace

int DayPage::groupOf(int position)
{
    return position <= 4 ? 0 : (position - 5) / 5 + 1;
}

int DayPage::firstPosition(int group)
{
    return group == 0 ? 1 : 5 * group;
}

QString DayPage::chooserName(int day, int position)
{
    return QStringLiteral("ComboBox%1").arg(19 * (day - 1) + position);
}

namespace {
// Number of the grams (kcal = false) or kcal edit of a position for days 2 to 7.
int editNumber(int day, int position, bool kcal)
{
    const int base = 38 * (day - 2);
    if (position <= 14)
        return base + position + (kcal ? 14 : 0);
    return base + 29 + 2 * (position - 15) + (kcal ? 1 : 0);
}
} // namespace

QString DayPage::gramsName(int day, int position)
{
    if (day == 1)
        return QStringLiteral("gr%1").arg(position);
    return QStringLiteral("Edit%1").arg(editNumber(day, position, false));
}

QString DayPage::kcalName(int day, int position)
{
    if (day == 1)
        return QStringLiteral("cal%1").arg(position);
    return QStringLiteral("Edit%1").arg(editNumber(day, position, true));
}

QString DayPage::clearButtonName(int day)
{
    return day == 1 ? QStringLiteral("btnPulisci")
                    : QStringLiteral("LMDButton%1").arg(2 * (day - 1));
}

QString DayPage::keyFilterName(int day)
{
    return day == 1 ? QStringLiteral("gr1KeyPress")
                    : QStringLiteral("Edit%1KeyPress").arg(38 * (day - 2) + 1);
}

QString DayPage::dayName(int day)
{
    return QString::fromUtf8(dayNames[day - 1]);
}

QString DayPage::groupName(int group)
{
    return QString::fromUtf8(groupNames[group]);
}

QString DayPage::slotName(int day, int position, SlotPart part)
{
    const int group = groupOf(position);
    const QString what = part == SlotPart::Food    ? QStringLiteral("alimento")
                         : part == SlotPart::Grams ? QStringLiteral("grammi")
                                                   : QStringLiteral("kcal");
    return QStringLiteral("%1, %2, %3 %4")
        .arg(dayName(day), groupName(group), what)
        .arg(position - firstPosition(group) + 1);
}

DayPage::DayPage(int day, QWidget* page, QStringListModel* foods) : day_(day)
{
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(QStringLiteral("ScrollBox%1").arg(day));
    Accessibility::setName(scroll, QStringLiteral("Alimenti di ") + dayName(day));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    pageLayout->addWidget(scroll);
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("GridPanel%1").arg(day));
    scroll->setWidget(panel);

    auto* grid = new QGridLayout(panel);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->setColumnStretch(3, 1);
    int row = 0;

    // Top: the clear button at the left, the day total at the right.
    clearButton_ = new QPushButton(QIcon(QStringLiteral(":/pictures/nuovo.png")),
                                   QStringLiteral("Nuovo"), panel);
    clearButton_->setObjectName(clearButtonName(day));
    clearButton_->setToolTip(QStringLiteral("Cancella"));
    clearButton_->setFocusPolicy(Qt::TabFocus);
    // The hint says "Cancella"; a screen reader says what the button empties.
    Accessibility::setName(clearButton_, dayName(day) + QStringLiteral(", Nuovo"),
                           QStringLiteral("Cancella gli alimenti e i grammi di ") + dayName(day));
    copyButton_ = new QPushButton(QStringLiteral("Copia giorno…"), panel);
    copyButton_->setObjectName(copyButtonName(day));
    copyButton_->setToolTip(QStringLiteral("Copia gli alimenti del giorno in altri giorni"));
    copyButton_->setFocusPolicy(Qt::TabFocus);
    Accessibility::setName(copyButton_, dayName(day) + QStringLiteral(", Copia giorno"));
    auto* top = new QHBoxLayout;
    top->addWidget(clearButton_);
    top->addSpacing(6);
    top->addWidget(copyButton_);
    top->addStretch(1);
    QLabel* totalCaption = boldLabel(QStringLiteral("Calorie Tot."), teal, panel);
    top->addWidget(totalCaption);
    total_ = boldLabel(QStringLiteral("0,00"), green, panel, QStringLiteral("tot%1").arg(day));
    totalCaption->setBuddy(total_);
    total_->setMinimumWidth(60);
    total_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    top->addSpacing(8);
    top->addWidget(total_);
    top->addSpacing(4);
    top->addWidget(boldLabel(QStringLiteral("Kcal"), teal, panel));
    grid->addLayout(top, row++, 0, 1, 3);

    // Column headings above the grams and kcal fields.
    grid->addWidget(boldLabel(QStringLiteral("Grammi"), red, panel), row, 1, Qt::AlignHCenter);
    grid->addWidget(boldLabel(QStringLiteral("kCal"), red, panel), row++, 2, Qt::AlignHCenter);

    for (int group = 0; group < Groups; ++group) {
        grid->addWidget(boldLabel(QString::fromUtf8(groupHeadings[group]), red, panel), row++, 0);
        const int first = firstPosition(group);
        const int last = group == 0 ? 4 : first + 4;
        for (int position = first; position <= last; ++position) {
            const int number = 100 * day + position;
            auto* chooser = new FoodChooser(foods, panel);
            chooser->setObjectName(chooserName(day, position));
            chooser->setMinimumWidth(313);
            paint(chooser, blue, QPalette::Text);
            auto* grams = new QLineEdit(QStringLiteral("0"), panel);
            grams->setObjectName(gramsName(day, position));
            grams->setFixedWidth(50);
            auto* kcal = new QLineEdit(panel);
            kcal->setObjectName(kcalName(day, position));
            kcal->setFixedWidth(50);
            kcal->setReadOnly(true);
            kcal->setEnabled(false);
            // Disabled, yet the value must read: dark grey instead of the style's pale grey.
            QPalette readable = kcal->palette();
            readable.setColor(QPalette::Disabled, QPalette::Text, disabledText);
            kcal->setPalette(readable);
            Accessibility::setName(chooser, slotName(day, position, SlotPart::Food));
            Accessibility::setName(grams, slotName(day, position, SlotPart::Grams));
            Accessibility::setName(kcal, slotName(day, position, SlotPart::Kcal));
            for (QWidget* w : {static_cast<QWidget*>(chooser), static_cast<QWidget*>(grams),
                               static_cast<QWidget*>(kcal)})
                w->setProperty("tag", number);
            grid->addWidget(chooser, row, 0);
            grid->addWidget(grams, row, 1);
            grid->addWidget(kcal, row++, 2);
            choosers_[position - 1] = chooser;
            slots_[position - 1] = MealSlot{chooser, grams, kcal};
        }
        auto* sub = new QHBoxLayout;
        sub->addStretch(1);
        QLabel* subtotalCaption = boldLabel(QString::fromUtf8(groupCaptions[group]), blue, panel);
        sub->addWidget(subtotalCaption);
        subtotals_[group] =
            boldLabel(QStringLiteral("0,00"), fuchsia, panel,
                      QString::fromLatin1(subtotalPrefixes[group]) + QString::number(day));
        subtotalCaption->setBuddy(subtotals_[group]);
        sub->addSpacing(8);
        subtotals_[group]->setMinimumWidth(50);
        subtotals_[group]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        sub->addWidget(subtotals_[group]);
        grid->addLayout(sub, row++, 0, 1, 3);
    }
    grid->setRowStretch(row, 1);
}
