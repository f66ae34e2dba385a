// What a screen reader finds in every window, walked through Qt's accessibility interfaces
// as the desktop's accessibility bridge walks them: no control a user can reach is without
// a name, and a sample of the names, descriptions and roles reads as the user expects.
#include "ChoiceDialog.h"
#include "DBComboBox.h"
#include "DBGrid.h"
#include "HelpWindow.h"
#include "MessageDialog.h"
#include "PieChart.h"
#include "ScopedEnvironment.h"
#include "ScriptedServices.h"
#include "Startup.h"
#include "TAlimpers.h"
#include "TDM.h"
#include "TForm1.h"
#include "TRiepilogo.h"
#include "TStampa.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "Tutenti.h"
#include "WeeklyPlanner.h"

#include <QAccessible>
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <functional>
#include <memory>

namespace {

// The roles of the controls a user operates or reads as one piece.
bool interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonMenu:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Chart:
    case QAccessible::Graphic:
    case QAccessible::PageTab:
        return true;
    default:
        return false;
    }
}

// Where a control sits, by the object names from its window down.
QString pathOf(QObject* object)
{
    QStringList names;
    for (QObject* o = object; o; o = o->parent())
        names.prepend(o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className())
                                                : o->objectName());
    return names.join(QLatin1Char('/'));
}

// Every shown control under `root` that a user can reach (it takes the keyboard focus or
// has an interactive role; disabled ones too, a screen reader reads them) and has no
// name, each as "path (role)". Scroll bars are left out: the toolkit does not name them.
QStringList unnamedControls(QWidget* root, int* visited)
{
    QStringList out;
    QSet<QAccessible::Id> seen;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* iface) {
        if (!iface || !iface->isValid() || seen.contains(QAccessible::uniqueId(iface)))
            return;
        seen.insert(QAccessible::uniqueId(iface));
        if (iface->state().invisible)
            return;
        auto* widget = qobject_cast<QWidget*>(iface->object());
        if (widget && !widget->isVisible())
            return;
        ++*visited;
        const QAccessible::Role role = iface->role();
        const bool focusable =
            iface->state().focusable || (widget && widget->focusPolicy() != Qt::NoFocus);
        if ((focusable || interactive(role)) && role != QAccessible::ScrollBar &&
            iface->text(QAccessible::Name).trimmed().isEmpty())
            out << QStringLiteral("%1 (role 0x%2)")
                       .arg(pathOf(iface->object()))
                       .arg(int(role), 0, 16);
        // Table cells and list entries are named by their text; their views are checked.
        if (role == QAccessible::Table || role == QAccessible::List || role == QAccessible::Tree)
            return;
        for (int i = 0; i < iface->childCount(); ++i)
            walk(iface->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(root));
    return out;
}

QAccessibleInterface* of(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString nameOf(QObject* object)
{
    QAccessibleInterface* iface = of(object);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("(no interface)");
}

QString descriptionOf(QObject* object)
{
    QAccessibleInterface* iface = of(object);
    return iface ? iface->text(QAccessible::Description) : QStringLiteral("(no interface)");
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<InFolder> here;
    Startup::Objects objects;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        services = std::make_unique<ScriptedServices>();
        db = std::make_unique<TestDatabase>();
        QFile::copy(qEnvironmentVariable("NUTRILO_SHIPPED_DIR") + QStringLiteral("/default.jpg"),
                    db->folder() + QStringLiteral("/default.jpg"));
        db->addFood(QStringLiteral("Mela"), 52, 0.3, 0.2, 13.8);
        const qint64 anna = db->addPerson(QStringLiteral("Anna Rossi"), {{"eta", 30},
                                                                         {"peso", 60},
                                                                         {"altezza", 165},
                                                                         {"sesso", "F"},
                                                                         {"corporatura", "Media"},
                                                                         {"attivita", "Moderata"},
                                                                         {"girovita", 80},
                                                                         {"sport", "Nuoto"},
                                                                         {"ore", 3},
                                                                         {"pesodes", 55},
                                                                         {"giorni", 60}});
        db->addMenuRow(anna, 101, QStringLiteral("Mela"), QStringLiteral("150"));
        here = std::make_unique<InFolder>(db->folder());
        objects = Startup::create(*qApp);
        QVERIFY(objects.form);
        objects.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(objects.form));
    }

    void cleanupTestCase()
    {
        Startup::destroy(objects);
        here.reset();
    }

    void everyReachableControlHasAName()
    {
        TForm1* form = objects.form;
        TRiepilogo summary(TRiepilogo::summaryOf(*form->planner(), *objects.dm), objects.dm, form);
        TStampa preview(objects.dm, form);
        preview.appendLine(QStringLiteral("Dieta di Anna Rossi"));
        MessageDialog message(
            QStringLiteral("Salvare i cambiamenti correnti?"), MessageKind::Confirmation,
            Buttons::Yes + Buttons::No + Buttons::Cancel,
            {QStringLiteral("Si"), QStringLiteral("No"), QStringLiteral("Annulla")},
            QStringLiteral("Nutrilo 1.0"), form);
        ChoiceDialog choice(QStringLiteral("In quali giorni copiare gli alimenti di Lunedì?"),
                            {QStringLiteral("Martedì"), QStringLiteral("Mercoledì")}, true, form);
        const QList<QWidget*> windows{form,     objects.users,          objects.foods, &summary,
                                      &preview, HelpWindow::instance(), &message,      &choice};
        QStringList unnamed;
        for (QWidget* window : windows) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            // Every day page in turn: only the shown page's controls are on screen.
            auto* pages = window == form ? form->PageControl1 : nullptr;
            for (int page = 0; page < (pages ? pages->count() : 1); ++page) {
                if (pages)
                    pages->setCurrentIndex(page);
                int visited = 0;
                unnamed << unnamedControls(window, &visited);
                qInfo("%s%s: %d accessible objects", qPrintable(window->objectName()),
                      pages ? qPrintable(QStringLiteral(" page %1").arg(page + 1)) : "", visited);
            }
            if (window != form)
                window->hide();
        }
        form->PageControl1->setCurrentIndex(0);
        unnamed.removeDuplicates();
        QVERIFY2(unnamed.isEmpty(),
                 qPrintable(QStringLiteral("%1 controls without a name:\n").arg(unnamed.size()) +
                            unnamed.join(QLatin1Char('\n'))));
    }

    void namesSayWhatAndWhere()
    {
        TForm1* form = objects.form;
        WeeklyPlanner* planner = form->planner();
        // The window is a frame, not an anonymous container.
        QCOMPARE(of(form)->role(), QAccessible::Window);
        QCOMPARE(nameOf(form), QStringLiteral("Nutrilo 1.0"));

        // A filled slot: named by its place, the food is its value; the chooser's line edit
        // has the chooser's name.
        const MealSlot monday = planner->slot(101);
        QCOMPARE(monday.food->currentText(), QStringLiteral("Mela"));
        QCOMPARE(nameOf(monday.food), QStringLiteral("Lunedì, colazione, alimento 1"));
        QCOMPARE(of(monday.food)->text(QAccessible::Value), QStringLiteral("Mela"));
        QCOMPARE(nameOf(monday.food->lineEdit()), QStringLiteral("Lunedì, colazione, alimento 1"));
        QCOMPARE(nameOf(monday.grams), QStringLiteral("Lunedì, colazione, grammi 1"));
        QCOMPARE(nameOf(monday.kcal), QStringLiteral("Lunedì, colazione, kcal 1"));
        QCOMPARE(nameOf(planner->slot(305).grams), QStringLiteral("Mercoledì, pranzo, grammi 1"));
        QCOMPARE(nameOf(planner->slot(719).food),
                 QStringLiteral("Domenica, condimenti e spuntini, alimento 5"));

        // Picture buttons by their action; the day's clear button says what it empties.
        QCOMPARE(nameOf(form->salva), QStringLiteral("Salva la dieta"));
        QCOMPARE(nameOf(form->esci), QStringLiteral("Esci"));
        auto* clear = form->findChild<QPushButton*>(QStringLiteral("btnPulisci"));
        QVERIFY(clear);
        QCOMPARE(clear->toolTip(), QStringLiteral("Cancella"));
        QCOMPARE(descriptionOf(clear),
                 QStringLiteral("Cancella gli alimenti e i grammi di Lunedì"));
        QCOMPARE(nameOf(form->dbnome), QStringLiteral("Nome e Cognome"));
        QCOMPARE(nameOf(form->Image1), QStringLiteral("Foto inizio dieta"));

        // The people grid: named, its headers the captions, the record numbers not shown.
        Tutenti* users = objects.users;
        users->show();
        QVERIFY(QTest::qWaitForWindowExposed(users));
        QAccessibleInterface* grid = of(users->DBGrid1);
        QCOMPARE(grid->role(), QAccessible::Table);
        QCOMPARE(grid->text(QAccessible::Name), QStringLiteral("Elenco delle persone"));
        QAccessibleTableInterface* table = grid->tableInterface();
        QVERIFY(table);
        QAccessibleInterface* age = table->cellAt(0, 3);
        QVERIFY(age && age->tableCellInterface());
        const QList<QAccessibleInterface*> headers = age->tableCellInterface()->columnHeaderCells();
        QCOMPARE(headers.size(), 1);
        QCOMPARE(headers.first()->text(QAccessible::Name), QStringLiteral("Età"));
        QVERIFY(users->DBGrid1->isColumnHidden(0) && users->DBGrid1->isColumnHidden(1));
        QCOMPARE(nameOf(users->btnNuovo), QStringLiteral("Nuova persona"));
        QCOMPARE(nameOf(users->DBComboBox4), QStringLiteral("Sport"));
        QCOMPARE(nameOf(users->DBComboBox4->lineEdit()), QStringLiteral("Sport"));
        users->hide();

        // The food pie in words.
        TAlimpers* foods = objects.foods;
        QCOMPARE(of(foods->DBChart1)->role(), QAccessible::Chart);
        QCOMPARE(nameOf(foods->DBChart1), QStringLiteral("Grafico alimento"));
        QCOMPARE(descriptionOf(foods->DBChart1),
                 QStringLiteral("Proteine 0,3 (2%), Lipidi 0,2 (1%), Carboidrati 13,8 (97%)"));

        // The summary's charts in words: the day totals and the energy split.
        TRiepilogo summary(TRiepilogo::summaryOf(*planner, *objects.dm), objects.dm, form);
        QCOMPARE(of(summary.graficoKcal)->role(), QAccessible::Chart);
        QCOMPARE(nameOf(summary.graficoKcal), QStringLiteral("Grafico delle kcal di ogni giorno"));
        const QString days = descriptionOf(summary.graficoKcal);
        QVERIFY2(days.startsWith(QStringLiteral("Kcal di ogni giorno: Lunedi 78,0 kcal")),
                 qPrintable(days));
        QVERIFY2(days.contains(QStringLiteral("Domenica 0,0 kcal")), qPrintable(days));
        QCOMPARE(descriptionOf(summary.graficoMacro),
                 QStringLiteral("Ripartizione media dell'energia: Carboidrati 94,8% (intervallo "
                                "45–60%, fuori), Grassi 3,1% (intervallo 20–35%, fuori), "
                                "Proteine 2,1% (intervallo 10–20%, fuori)."));
        QCOMPARE(nameOf(summary.giorni), QStringLiteral("Riepilogo per giorno"));

        MessageDialog message(QStringLiteral("Testo"), MessageKind::Error, Buttons::Ok, {},
                              QStringLiteral("Nutrilo 1.0"));
        QCOMPARE(nameOf(message.findChild<QLabel*>(QStringLiteral("icon"))),
                 QStringLiteral("Errore"));
    }
};

NUTRILO_TEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
