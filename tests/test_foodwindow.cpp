// The food management window: browsing, searching, saving and deleting foods on a scratch
// database, the menu rows that go with a deleted food, the refresh of the main window's
// food lists and leaving the window by Exit or by the frame.

#include "AppError.h"
#include "Contrast.h"
#include "DBEdit.h"
#include "DBGrid.h"
#include "DBLabel.h"
#include "DataSource.h"
#include "Dataset.h"
#include "FoodChooser.h"
#include "PieChart.h"
#include "Recipes.h"
#include "ScriptedServices.h"
#include "TAlimpers.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "WeeklyPlanner.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <memory>

using What = ScriptedServices::What;

namespace {

// The main window's controls the planner works with, in a window of their own.
struct Frame {
    QWidget window;
    PlannerFrame frame;
    Frame()
    {
        frame.PageControl1 = new QTabWidget(&window);
        for (int day = 1; day <= 7; ++day) {
            auto* page = new QWidget;
            page->setObjectName(QStringLiteral("TabSheet%1").arg(day));
            frame.PageControl1->addTab(page, QString::number(day));
        }
        frame.salva = new QPushButton(QStringLiteral("salva"), &window);
        frame.salva->setObjectName(QStringLiteral("salva"));
        auto* chooser = new QComboBox(&window);
        chooser->setObjectName(QStringLiteral("dbnome"));
        chooser->setEditable(true);
        frame.dbnome = chooser;
        frame.Image1 = new QLabel(&window);
        frame.Image1->setObjectName(QStringLiteral("Image1"));
    }
};

const QString pane = QStringLiteral("Pane comune");
const QString mela = QStringLiteral("Mela, con buccia");

} // namespace

class TestFoodWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<Frame> frame;
    std::unique_ptr<WeeklyPlanner> planner;
    std::unique_ptr<TAlimpers> window;
    qint64 anna = 0;
    qint64 bruno = 0;

    // The window over the data module, with the real planner or without one.
    void open(bool withPlanner = false)
    {
        dm = std::make_unique<TDM>(db->path());
        DM = dm.get();
        if (withPlanner) {
            frame = std::make_unique<Frame>();
            planner = std::make_unique<WeeklyPlanner>(frame->frame, dm.get());
            // The photo of the first person is missing here: reported, and the week
            // is loaded all the same.
            runGuarded([&] { planner->FormShow(); });
        }
        window = std::make_unique<TAlimpers>(dm.get(), planner.get());
        services->clear();
    }

    // Whether the planner behind WeeklyPlanner.h builds its grid yet.
    bool plannerHasGrid() const { return planner && bool(planner->slot(101)); }

    QString current() const { return dm->alimentiAlimento->asString(); }
    int foodRows(const QString& name)
    {
        return int(
            db->rows(QStringLiteral("SELECT 1 FROM alimenti WHERE Alimento = ?"), {name}).size());
    }
    QList<int> menuSlots(qint64 person)
    {
        QList<int> out;
        for (const QVariantList& r :
             db->rows(QStringLiteral("SELECT ID_Combo FROM dieta WHERE ID_Utente = ? ORDER BY "
                                     "ID_Combo"),
                      {person}))
            out << r.at(0).toInt();
        return out;
    }
    // Types into a bound field as the user would, replacing its text.
    static void type(QLineEdit* edit, const QString& text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void init()
    {
        services = std::make_unique<ScriptedServices>();
        db = std::make_unique<TestDatabase>();
        db->addFood(QStringLiteral("Pasta di semola, cruda"), 353, 13.04, 1.51, 74.67);
        db->addFood(pane, 275, 8.1, 0.5, 63.5);
        db->addFood(mela, 45, 0.2, 0.1, 11.9);
        db->addFood(QStringLiteral("mela cotta"), 50, 0.3, 0.1, 12);
        db->addFood(QStringLiteral("Zucchine"), 11, 1.3, 0.1, 1.4);
        anna = db->addPerson(QStringLiteral("Anna Rossi"), {{"peso", 60}});
        bruno = db->addPerson(QStringLiteral("Bruno Bianchi"), {{"peso", 80}});
        db->addMenuRow(anna, 101, mela, QStringLiteral("150"));
        db->addMenuRow(anna, 102, pane, QStringLiteral("50"));
        db->addMenuRow(anna, 205, mela, QStringLiteral("100"));
        db->addMenuRow(anna, 310, QStringLiteral("MELA, CON BUCCIA"), QStringLiteral("80"));
        db->addMenuRow(anna, 403, QString(), QString());
        db->addMenuRow(anna, 719, mela, QStringLiteral("20"));
        db->addMenuRow(bruno, 101, mela, QStringLiteral("200"));
    }

    void cleanup()
    {
        window.reset();
        planner.reset();
        frame.reset();
        DM = nullptr;
        dm.reset();
        db.reset();
        services.reset();
    }

    void theWindowAndItsControls()
    {
        open();
        QCOMPARE(window->objectName(), QStringLiteral("Alimpers"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Inserisci, Modifica, Cancella, Alimenti "));
        QCOMPARE(window->size(), QSize(876, 482));
        const QStringList names{"Panel2",   "down",       "up",           "btnnuovo",   "btndelete",
                                "btnsalva", "btnannulla", "LabeledEdit1", "LMDButton8", "DBEdit1",
                                "DBEdit2",  "DBEdit3",    "DBEdit4",      "DBEdit5",    "DBEdit6",
                                "DBEdit7",  "DBChart1",   "DBText1"};
        for (const QString& name : names)
            QVERIFY2(window->findChild<QWidget*>(name), qPrintable(name));
        QCOMPARE(window->findChild<QWidget*>("LMDButton8")->toolTip(), QStringLiteral("Esci"));
        QCOMPARE(window->btnsalva->toolTip(), QStringLiteral("Memorizza nuovo alimento"));
        QCOMPARE(window->LabeledEdit1->width(), 201);
        QCOMPARE(window->DBChart1->size(), QSize(825, 233));
        QCOMPARE(window->DBChart1->title(), QStringLiteral("Grafico alimento"));

        // The grid: seven columns titled by field name, each with its own background.
        QAbstractItemModel* grid = window->DBGrid1->model();
        QCOMPARE(window->DBGrid1->size(), QSize(585, 137));
        QCOMPARE(grid->columnCount(), 7);
        QCOMPARE(grid->rowCount(), 5);
        const QStringList titles{"Alimento", "%edibile",    "Acqua",  "Proteine",
                                 "Lipidi",   "Carboidrati", "kcal100"};
        for (int c = 0; c < 7; ++c)
            QCOMPARE(grid->headerData(c, Qt::Horizontal).toString(), titles[c]);
        const QColor tooltip(255, 255, 225);
        QCOMPARE(grid->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), tooltip);
        QCOMPARE(grid->index(0, 2).data(Qt::BackgroundRole).value<QColor>(), tooltip);
        QCOMPARE(grid->index(0, 3).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 220, 192));
        QCOMPARE(window->DBGrid1->columnWidth(0), 162);
        // Every column's text reads on its background.
        const QColor text = window->DBGrid1->palette().color(QPalette::Text);
        for (int c = 0; c < 7; ++c) {
            const double ratio =
                contrastRatio(text, grid->index(0, c).data(Qt::BackgroundRole).value<QColor>());
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: %2").arg(c).arg(ratio)));
        }

        // Exit stays at the right edge when the window grows.
        window->show();
        window->resize(1000, 482);
        QCoreApplication::processEvents();
        QVERIFY(window->LMDButton8->mapTo(window.get(), QPoint(0, 0)).x() > 876);
        window->hide();
    }

    void showBrowseAndTheBoundControls()
    {
        open();
        dm->alimenti->locate(QStringLiteral("Alimento"), {QStringLiteral("Zucchine")});
        window->LabeledEdit1->blockSignals(true);
        window->LabeledEdit1->setText(QStringLiteral("Zu"));
        window->LabeledEdit1->blockSignals(false);
        window->show();
        // Show moves to the first food; the search box keeps its text.
        QCOMPARE(current(), QStringLiteral("Pasta di semola, cruda"));
        QCOMPARE(window->LabeledEdit1->text(), QStringLiteral("Zu"));
        window->upClick();
        QCOMPARE(window->DBEdit1->text(), pane);
        QCOMPARE(window->DBEdit4->text(), QStringLiteral("8,1"));
        QCOMPARE(window->DBText1->text(), pane);
        QCOMPARE(window->DBChart1->slices()[0].value, 8.1);
        window->downClick();
        window->downClick();
        QCOMPARE(current(), QStringLiteral("Pasta di semola, cruda"));
        window->hide();
        QVERIFY(services->messages().isEmpty());
    }

    void newFoodSavedWithLocaleNumbers()
    {
        open();
        window->btnnuovoClick();
        QCOMPARE(dm->alimenti->state(), Dataset::State::Insert);
        QCOMPARE(window->DBEdit1->text(), QString());
        type(window->DBEdit1, QStringLiteral("Yogurt intero"));
        type(window->DBEdit4, QStringLiteral("2,5"));
        type(window->DBEdit7, QStringLiteral("66"));
        window->btnsalvaClick();
        QCOMPARE(services->textsOf(What::Dialog),
                 QStringList{QStringLiteral("Alimento inserito/modificato correttamente.")});
        const auto rows =
            db->rows(QStringLiteral("SELECT Proteine, kcal100 FROM alimenti WHERE Alimento = ?"),
                     {QStringLiteral("Yogurt intero")});
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toDouble(), 2.5);
        QCOMPARE(rows[0][1].toDouble(), 66.0);
        QCOMPARE(dm->alimenti->state(), Dataset::State::Browse);
        QVERIFY(dm->DSAlimenti->enabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    void newFoodCancelled()
    {
        open();
        const int before = dm->alimenti->recordCount();
        window->btnnuovoClick();
        type(window->DBEdit1, QStringLiteral("Da scartare"));
        window->btnannullaClick();
        QCOMPARE(dm->alimenti->state(), Dataset::State::Browse);
        QCOMPARE(dm->alimenti->recordCount(), before);
        QCOMPARE(foodRows(QStringLiteral("Da scartare")), 0);
        QVERIFY(services->messages().isEmpty());
    }

    void saveWithNothingPendingDoesNothing()
    {
        open();
        QSignalSpy switched(dm->DSAlimenti, &DataSource::enabledChanged);
        window->btnsalvaClick();
        QVERIFY(services->calls.isEmpty());
        QCOMPARE(switched.count(), 0);
    }

    void aTextThatIsNoNumberIsRefused()
    {
        open();
        window->show(); // the window's controls show the food while it is open
        QSignalSpy switched(dm->DSAlimenti, &DataSource::enabledChanged);
        type(window->DBEdit5, QStringLiteral("tanto"));
        QCOMPARE(dm->alimenti->state(), Dataset::State::Edit);
        window->btnsalvaClick();
        const auto dialogs = services->callsOf(What::Dialog);
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].kind, MessageKind::Error);
        QCOMPARE(dialogs[0].captions, QStringList{QStringLiteral("Ok")});
        QVERIFY(dialogs[0].text.contains(QStringLiteral("tanto")));
        QVERIFY(dialogs[0].text.contains(QStringLiteral("Lipidi")));
        QVERIFY(services->callsOf(What::ErrorReport).isEmpty());
        // Nothing written, the record still edited with the typed text, no refresh.
        QCOMPARE(dm->alimenti->state(), Dataset::State::Edit);
        QCOMPARE(window->DBEdit5->text(), QStringLiteral("tanto"));
        QCOMPARE(db->rows(QStringLiteral("SELECT Lipidi FROM alimenti WHERE Alimento = ?"),
                          {QStringLiteral("Pasta di semola, cruda")})[0][0]
                     .toDouble(),
                 1.51);
        QCOMPARE(switched.count(), 0);
        // Corrected, it is written.
        services->clear();
        type(window->DBEdit5, QStringLiteral("1,6"));
        window->btnsalvaClick();
        QCOMPARE(services->textsOf(What::Dialog),
                 QStringList{QStringLiteral("Alimento inserito/modificato correttamente.")});
        QCOMPARE(switched.count(), 2);
        QVERIFY(dm->DSAlimenti->enabled());
        // The refresh leaves the last food current, and the controls show it.
        QCOMPARE(current(), QStringLiteral("Zucchine"));
        QCOMPARE(window->DBEdit1->text(), QStringLiteral("Zucchine"));
        QCOMPARE(window->DBGrid1->currentIndex().row(), 4);
    }

    // The second page: the current food's panel shown, "n.d." where nothing was measured,
    // a typed value saved with the food, a bad one refused with nothing written.
    void theNutrientPage()
    {
        db->exec(QStringLiteral("INSERT INTO nutrienti (Alimento, fonte, fibra, calcio) VALUES "
                                "(?, 'USDA SR 18069', 2.7, 144)"),
                 {pane});
        db->exec(QStringLiteral("INSERT INTO gruppi_alimenti (Alimento, gruppo) VALUES "
                                "(?, 'Cereali e derivati'), (?, 'Frutta fresca')"),
                 {pane, mela});
        open();
        window->show();
        QVERIFY(window->DBChart1->isVisible());
        QVERIFY(!window->PanelNutrienti->isVisible());
        QTest::mouseClick(window->btnnutrienti, Qt::LeftButton);
        QVERIFY(window->PanelNutrienti->isVisible());
        QVERIFY(!window->DBChart1->isVisible());
        const auto edit = [&](const char* column) {
            return window->PanelNutrienti->findChild<QLineEdit*>(QStringLiteral("Nutriente_") +
                                                                 QLatin1String(column));
        };
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {pane}));
        QCOMPARE(edit("fibra")->text(), QStringLiteral("2,7"));
        QCOMPARE(edit("calcio")->text(), QStringLiteral("144"));
        QCOMPARE(edit("vitamina_d")->text(), QString());
        QCOMPARE(edit("vitamina_d")->placeholderText(), QStringLiteral("n.d."));
        QCOMPARE(window->NutrientiFonte->text(), QStringLiteral("USDA SR 18069"));
        QCOMPARE(edit("ferro")->accessibleName(), QStringLiteral("Ferro (mg)"));

        // Not a number, then out of range: reported as the food's own values are, nothing
        // written, the typed text kept.
        type(edit("ferro"), QStringLiteral("molto"));
        QCOMPARE(dm->alimenti->state(), Dataset::State::Edit);
        window->btnsalvaClick();
        type(edit("ferro"), QStringLiteral("120000"));
        window->btnsalvaClick();
        const auto dialogs = services->callsOf(What::Dialog);
        QCOMPARE(dialogs.size(), 2);
        QCOMPARE(dialogs[0].kind, MessageKind::Error);
        QVERIFY(dialogs[0].text.contains(QStringLiteral("'molto' non è un numero valido per il "
                                                        "campo 'Ferro (mg)'")));
        QVERIFY(dialogs[1].text.contains(QStringLiteral("fuori dall'intervallo ammesso (da 0 a "
                                                        "100000 mg per 100 g)")));
        QCOMPARE(edit("ferro")->text(), QStringLiteral("120000"));
        const QString ironOfBread =
            QStringLiteral("SELECT ferro FROM nutrienti WHERE Alimento = ?");
        QVERIFY(db->rows(ironOfBread, {pane})[0][0].isNull());

        services->clear();
        type(edit("ferro"), QStringLiteral("3,6"));
        window->btnsalvaClick();
        QCOMPARE(services->textsOf(What::Dialog),
                 QStringList{QStringLiteral("Alimento inserito/modificato correttamente.")});
        QCOMPARE(db->rows(ironOfBread, {pane})[0][0].toDouble(), 3.6);
        QCOMPARE(db->rows(QStringLiteral("SELECT fibra, fonte FROM nutrienti WHERE Alimento = ?"),
                          {pane})[0],
                 (QVariantList{2.7, QStringLiteral("USDA SR 18069")}));

        // A new food's values typed by hand are the dietitian's own.
        window->btnnuovoClick();
        type(window->DBEdit1, QStringLiteral("Yogurt greco"));
        type(edit("calcio"), QStringLiteral("100"));
        window->btnsalvaClick();
        QCOMPARE(db->rows(QStringLiteral("SELECT calcio, fonte FROM nutrienti WHERE Alimento = ?"),
                          {QStringLiteral("Yogurt greco")})[0],
                 (QVariantList{100.0, QStringLiteral("manuale")}));
        // Cancel puts back what is stored.
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {pane}));
        type(edit("fibra"), QStringLiteral("9"));
        window->btnannullaClick();
        QCOMPARE(edit("fibra")->text(), QStringLiteral("2,7"));

        // The group chooser: the current food's group among every group, a change saved
        // with the food, a new group typed in, cancel putting back the stored one.
        QComboBox* group = window->NutrientiGruppo;
        QCOMPARE(group->accessibleName(), QStringLiteral("Gruppo dell'alimento"));
        QCOMPARE(group->currentText(), QStringLiteral("Cereali e derivati"));
        QCOMPARE(group->count(), 3); // the empty entry first: no group
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {mela}));
        QCOMPARE(group->currentText(), QStringLiteral("Frutta fresca"));
        group->setCurrentIndex(group->findText(QStringLiteral("Cereali e derivati")));
        emit group->activated(group->currentIndex());
        QCOMPARE(dm->alimenti->state(), Dataset::State::Edit);
        window->btnsalvaClick();
        const QString groupOfApple =
            QStringLiteral("SELECT gruppo FROM gruppi_alimenti WHERE Alimento = ?");
        QCOMPARE(db->rows(groupOfApple, {mela})[0][0].toString(),
                 QStringLiteral("Cereali e derivati"));
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {mela}));
        QCOMPARE(group->currentText(), QStringLiteral("Cereali e derivati"));
        type(group->lineEdit(), QStringLiteral("Frutta  "));
        window->btnsalvaClick();
        QCOMPARE(db->rows(groupOfApple, {mela})[0][0].toString(), QStringLiteral("Frutta"));
        QCOMPARE(group->findText(QStringLiteral("Frutta")), 2);
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {mela}));
        type(group->lineEdit(), QStringLiteral("Verdure"));
        window->btnannullaClick();
        QCOMPARE(group->currentText(), QStringLiteral("Frutta"));
        QVERIFY(!dm->pendingGroup);
        // The empty entry takes the food out of its group.
        group->setCurrentIndex(0);
        emit group->activated(0);
        window->btnsalvaClick();
        QVERIFY(db->rows(groupOfApple, {mela}).isEmpty());

        QTest::mouseClick(window->btnnutrienti, Qt::LeftButton);
        QVERIFY(window->DBChart1->isVisible());
    }

    // The recipe page: a dish made of two foods saved from the window with the values
    // computed from them, its five values then read-only; a dish containing itself refused
    // with nothing written.
    void theRecipePage()
    {
        open();
        window->show();
        QTest::mouseClick(window->btnricetta, Qt::LeftButton);
        QVERIFY(window->PanelRicetta->isVisible());
        QVERIFY(!window->DBChart1->isVisible());
        for (QWidget* w :
             window->PanelRicetta->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
        const QString dish = QStringLiteral("Pasta con zucchine");
        window->btnnuovoClick();
        type(window->DBEdit1, dish);
        const auto row = [&](const QString& food, const QString& grams) {
            window->btnaggiungiingrediente->click();
            const int r = window->RicettaIngredienti->rowCount() - 1;
            auto* chooser = qobject_cast<QComboBox*>(window->RicettaIngredienti->cellWidget(r, 0));
            QVERIFY(chooser && !chooser->accessibleName().isEmpty());
            QCOMPARE(window->focusWidget(), chooser); // ready to type the food
            chooser->setCurrentText(food);
            window->RicettaIngredienti->item(r, 1)->setText(grams);
        };
        row(QStringLiteral("Pasta di semola, cruda"), QStringLiteral("80"));
        row(QStringLiteral("Zucchine"), QStringLiteral("100,5"));
        type(window->RicettaPesoCotto, QStringLiteral("250"));
        window->btnsalvaricetta->click();
        QVERIFY(services->callsOf(What::Dialog).isEmpty());
        QVERIFY(services->callsOf(What::ErrorReport).isEmpty());
        const auto stored =
            db->rows(QStringLiteral(
                         "SELECT kcal100, Proteine, \"%edibile\" FROM alimenti WHERE Alimento = ?"),
                     {dish});
        QCOMPARE(stored.size(), 1);
        // (353 × 0,8 + 11 × 1,005) × 100 / 250 = 117,382, and so the protein, both kept
        // to one decimal.
        QVERIFY(qAbs(stored[0][0].toDouble() - 117.4) < 1e-9);
        QVERIFY(qAbs(stored[0][1].toDouble() - 4.7) < 1e-9);
        QCOMPARE(stored[0][2].toDouble(), 100.0);
        QCOMPARE(current(), dish);
        QVERIFY(window->DBEdit7->isReadOnly());
        QVERIFY(!window->DBEdit1->isReadOnly());
        QCOMPARE(window->RicettaIngredienti->rowCount(), 2);
        QVERIFY(window->RicettaValori->text().contains(QStringLiteral("kcal: 117,4")));

        // The dish as its own ingredient.
        row(dish, QStringLiteral("10"));
        window->btnsalvaricetta->click();
        const auto dialogs = services->callsOf(What::Dialog);
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].kind, MessageKind::Error);
        QCOMPARE(dialogs[0].captions, QStringList{QStringLiteral("Ok")});
        QCOMPARE(dialogs[0].text, QStringLiteral("Una ricetta non può contenere sé stessa: Pasta "
                                                 "con zucchine → Pasta con zucchine"));
        QCOMPARE(db->rows(QStringLiteral("SELECT count(*) FROM ricette_ingredienti"))[0][0].toInt(),
                 2);
        QCOMPARE(window->RicettaIngredienti->rowCount(), 3); // what was typed is kept

        // The recipe's panel is computed too.
        QTest::mouseClick(window->btnnutrienti, Qt::LeftButton);
        QLineEdit* fibre =
            window->PanelNutrienti->findChild<QLineEdit*>(QStringLiteral("Nutriente_fibra"));
        QVERIFY(fibre->isReadOnly());
        QCOMPARE(fibre->toolTip(), QStringLiteral("Calcolato dagli ingredienti della ricetta"));
        QTest::mouseClick(window->btnricetta, Qt::LeftButton);

        // A food that is no recipe keeps its values editable (the unsaved row dropped).
        services->clear();
        services->dialogAnswers << Result::No;
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {QStringLiteral("Zucchine")}));
        QVERIFY(!window->DBEdit7->isReadOnly());
        QCOMPARE(window->RicettaIngredienti->rowCount(), 0);
        QTest::mouseClick(window->btnnutrienti, Qt::LeftButton);
        QVERIFY(!fibre->isReadOnly());

        // An ingredient is not deleted, and this is said before any question.
        services->clear();
        window->btndeleteClick();
        QCOMPARE(services->callsOf(What::Dialog).size(), 1);
        QCOMPARE(services->callsOf(What::Dialog)[0].kind, MessageKind::Error);
        QCOMPARE(
            services->textsOf(What::Dialog),
            QStringList{QStringLiteral("L'alimento è usato nelle ricette: Pasta con zucchine. "
                                       "Toglilo prima dalle ricette: non è stato cancellato")});
        QCOMPARE(foodRows(QStringLiteral("Zucchine")), 1);
    }

    // The recipe page shows the current food's recipe whatever moved the cursor (here the
    // toolbar's save, which leaves the last food current), "Salva ricetta" writes only the
    // recipe whose ingredients the page shows, and unsaved edits of the page are asked
    // about before the window leaves the food.
    void theRecipePageFollowsTheCurrentFood()
    {
        open();
        const QString pasta = QStringLiteral("Pasta con zucchine");
        const QString apples = QStringLiteral("Mele al forno");
        dm->saveRecipe(Recipe{
            pasta,
            250,
            {{QStringLiteral("Pasta di semola, cruda"), 80}, {QStringLiteral("Zucchine"), 100}}});
        dm->saveRecipe(Recipe{apples, 150, {{mela, 200}}}); // the last food
        window->show();
        QTest::mouseClick(window->btnricetta, Qt::LeftButton);
        QTableWidget* table = window->RicettaIngredienti;
        const auto shown = [table] {
            QStringList rows;
            for (int r = 0; r < table->rowCount(); ++r)
                rows << qobject_cast<QComboBox*>(table->cellWidget(r, 0))->currentText() +
                            QLatin1Char('|') + table->item(r, 1)->text();
            return rows;
        };
        const auto stored = [&](const QString& recipe) {
            QStringList rows;
            for (const QVariantList& r :
                 db->rows(QStringLiteral("SELECT Alimento, grammi FROM ricette_ingredienti WHERE "
                                         "Ricetta = ? ORDER BY posizione"),
                          {recipe}))
                rows << r.at(0).toString() + QLatin1Char('|') + QString::number(r.at(1).toDouble());
            const auto weight = db->rows(
                QStringLiteral("SELECT peso_cotto FROM ricette WHERE Alimento = ?"), {recipe});
            rows << (weight.isEmpty() ? QStringLiteral("-")
                                      : QString::number(weight[0][0].toDouble()));
            return rows;
        };
        const QStringList pastaRows{"Pasta di semola, cruda|80", "Zucchine|100", "250"};
        const QStringList applesRows{mela + QStringLiteral("|200"), QStringLiteral("150")};
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {pasta}));
        QCOMPARE(shown(), (QStringList{"Pasta di semola, cruda|80", "Zucchine|100"}));

        type(window->DBEdit2, QStringLiteral("90"));
        window->btnsalvaClick();
        QCOMPARE(current(), apples);
        QCOMPARE(shown(), QStringList{mela + QStringLiteral("|200")});
        QCOMPARE(window->RicettaPesoCotto->text(), QStringLiteral("150"));
        window->btnsalvaricetta->click();
        QCOMPARE(stored(apples), applesRows);
        QCOMPARE(stored(pasta), pastaRows);

        // A move the page was not told of: "Salva ricetta" refuses, nothing written.
        services->clear();
        dm->DSAlimenti->setEnabled(false);
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {pasta}));
        window->btnsalvaricetta->click();
        dm->DSAlimenti->setEnabled(true);
        QCOMPARE(services->textsOf(What::Dialog),
                 QStringList{QStringLiteral(
                     "La pagina Ricetta mostrava gli ingredienti di \"Mele al forno\", non quelli "
                     "dell'alimento corrente \"Pasta con zucchine\": la ricetta non è stata "
                     "salvata. Ora la pagina mostra l'alimento corrente.")});
        QCOMPARE(stored(apples), applesRows);
        QCOMPARE(shown(), (QStringList{"Pasta di semola, cruda|80", "Zucchine|100"}));

        // Unsaved edits: "Annulla" stays on the food with them, "No" drops them, "Sì" saves.
        services->clear();
        table->item(0, 1)->setText(QStringLiteral("90"));
        services->dialogAnswers << Result::Cancel;
        window->upClick();
        const auto dialogs = services->callsOf(What::Dialog);
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].text, QStringLiteral("Salvare la ricetta \"Pasta con zucchine\"?"));
        QCOMPARE(dialogs[0].kind, MessageKind::Confirmation);
        QCOMPARE(dialogs[0].captions, (QStringList{"Sì", "No", "Annulla"}));
        QCOMPARE(current(), pasta);
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("90"));
        services->dialogAnswers << Result::No;
        window->upClick();
        QVERIFY(current() != pasta);
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {pasta}));
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("80"));
        QCOMPARE(stored(pasta), pastaRows);
        table->item(0, 1)->setText(QStringLiteral("90"));
        services->dialogAnswers << Result::Yes;
        window->downClick();
        QVERIFY(current() != pasta);
        QCOMPARE(stored(pasta).at(0), QStringLiteral("Pasta di semola, cruda|90"));

        // Closing the window asks too; "Annulla" keeps it open.
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {apples}));
        type(window->RicettaPesoCotto, QStringLiteral("300"));
        services->dialogAnswers << Result::Cancel << Result::No;
        window->reject();
        QVERIFY(window->isVisible());
        window->reject();
        QVERIFY(!window->isVisible());
        QCOMPARE(stored(apples), applesRows);
    }

    // The portion page: the current food's portions lightest first; a cell changed, a row
    // added and one taken away saved with the food and read back; cancel putting back what
    // is stored; grams that are no number refused with nothing written, then corrected.
    void thePortionPage()
    {
        db->exec(QStringLiteral("INSERT INTO porzioni (Alimento, nome, grammi) VALUES "
                                "(?, '1 rosetta', 60), (?, '1 fetta', 30)"),
                 {pane, pane});
        open();
        window->show();
        QTest::mouseClick(window->btnporzioni, Qt::LeftButton);
        QVERIFY(window->PanelPorzioni->isVisible());
        QVERIFY(!window->DBChart1->isVisible());
        for (QWidget* w :
             window->PanelPorzioni->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
        QVERIFY(!window->btnporzioni->accessibleName().isEmpty());
        QVERIFY(!window->AggiungiPorzione->accessibleName().isEmpty());
        QVERIFY(!window->TogliPorzione->accessibleName().isEmpty());
        QTableWidget* table = window->GrigliaPorzioni;
        const auto shown = [table] {
            QStringList rows;
            for (int r = 0; r < table->rowCount(); ++r)
                rows << table->item(r, 0)->text() + QLatin1Char('|') + table->item(r, 1)->text();
            return rows;
        };
        const QString portionsOfBread =
            QStringLiteral("SELECT nome, grammi FROM porzioni WHERE Alimento = ? ORDER BY grammi");
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {pane}));
        QCOMPARE(shown(), (QStringList{"1 fetta|30", "1 rosetta|60"}));
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {mela}));
        QCOMPARE(table->rowCount(), 0);
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {pane}));

        table->item(1, 1)->setText(QStringLiteral("55,5"));
        QCOMPARE(dm->alimenti->state(), Dataset::State::Edit);
        QVERIFY(dm->pendingPortions);
        window->AggiungiPorzione->click();
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->item(2, 1)->data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Grammi della porzione 3"));
        table->item(2, 0)->setText(QStringLiteral(" 1 porzione "));
        table->item(2, 1)->setText(QStringLiteral("50"));
        table->setCurrentCell(0, 0);
        window->TogliPorzione->click();
        window->btnsalvaClick();
        QCOMPARE(services->textsOf(What::Dialog),
                 QStringList{QStringLiteral("Alimento inserito/modificato correttamente.")});
        QCOMPARE(db->rows(portionsOfBread, {pane}),
                 (QList<QVariantList>{{QStringLiteral("1 porzione"), 50.0},
                                      {QStringLiteral("1 rosetta"), 55.5}}));
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {pane}));
        QCOMPARE(shown(), (QStringList{"1 porzione|50", "1 rosetta|55,5"}));

        table->item(0, 0)->setText(QStringLiteral("1 fettona"));
        window->btnannullaClick();
        QCOMPARE(shown(), (QStringList{"1 porzione|50", "1 rosetta|55,5"}));
        QVERIFY(!dm->pendingPortions);

        services->clear();
        table->item(0, 1)->setText(QStringLiteral("tanto"));
        window->btnsalvaClick();
        const auto dialogs = services->callsOf(What::Dialog);
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].kind, MessageKind::Error);
        QCOMPARE(dialogs[0].text,
                 QStringLiteral("I grammi della porzione \"1 porzione\" devono essere un numero "
                                "maggiore di 0 e non oltre 5000."));
        QCOMPARE(dm->alimenti->state(), Dataset::State::Edit);
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("tanto"));
        QCOMPARE(db->rows(portionsOfBread, {pane}).size(), 2);
        QCOMPARE(db->rows(portionsOfBread, {pane})[0][1].toDouble(), 50.0);
        // Saved again as it is: refused again, the typed rows not lost.
        window->btnsalvaClick();
        QCOMPARE(services->callsOf(What::Dialog).size(), 2);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("tanto"));
        // Corrected, it is written.
        table->item(0, 1)->setText(QStringLiteral("45"));
        window->btnsalvaClick();
        QCOMPARE(db->rows(portionsOfBread, {pane})[0][1].toDouble(), 45.0);

        // A new food with its portions.
        window->btnnuovoClick();
        type(window->DBEdit1, QStringLiteral("Grissini"));
        window->AggiungiPorzione->click();
        table->item(0, 0)->setText(QStringLiteral("1 grissino"));
        table->item(0, 1)->setText(QStringLiteral("5"));
        window->btnsalvaClick();
        QCOMPARE(db->rows(portionsOfBread, {QStringLiteral("Grissini")}),
                 (QList<QVariantList>{{QStringLiteral("1 grissino"), 5.0}}));

        QTest::mouseClick(window->btnporzioni, Qt::LeftButton);
        QVERIFY(window->DBChart1->isVisible());
    }

    void search()
    {
        open();
        window->show();
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {QStringLiteral("Zucchine")}));
        // Every character searches from the first food.
        QTest::keyClicks(window->LabeledEdit1, QStringLiteral("Pa"));
        QCOMPARE(current(), QStringLiteral("Pasta di semola, cruda"));
        QTest::keyClicks(window->LabeledEdit1, QStringLiteral("n"));
        QCOMPARE(current(), pane);
        QCOMPARE(window->DBEdit1->text(), pane);
        // A prefix that no food begins with leaves the current food; further characters
        // search again and find nothing either.
        QTest::keyClicks(window->LabeledEdit1, QStringLiteral("x"));
        QCOMPARE(current(), pane);
        QTest::keyClicks(window->LabeledEdit1, QStringLiteral("yz"));
        QCOMPARE(current(), pane);
        // Back to a prefix that matches.
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(window->LabeledEdit1, Qt::Key_Backspace);
        QCOMPARE(current(), pane);
        // The locate ignores letter case: "mela" finds "Mela, con buccia" first.
        window->LabeledEdit1->setText(QStringLiteral("mela"));
        QCOMPARE(current(), mela);
        // The empty text is a prefix of every name: the first food.
        window->LabeledEdit1->clear();
        QCOMPARE(current(), QStringLiteral("Pasta di semola, cruda"));
        QVERIFY(services->messages().isEmpty());
        window->hide();
    }

    void searchByAnyWord()
    {
        open();
        // No name begins with the text: the first food that holds its words, in any
        // order, letter case and accents ignored.
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {QStringLiteral("Zucchine")}));
        window->LabeledEdit1->setText(QStringLiteral("semola"));
        QCOMPARE(current(), QStringLiteral("Pasta di semola, cruda"));
        window->LabeledEdit1->setText(QStringLiteral("cotta MELA"));
        QCOMPARE(current(), QStringLiteral("mela cotta"));
        window->LabeledEdit1->setText(QStringLiteral("crùda pasta"));
        QCOMPARE(current(), QStringLiteral("Pasta di semola, cruda"));
        window->LabeledEdit1->setText(QStringLiteral("buccia"));
        QCOMPARE(current(), mela);
        // Found by neither: the current food stays.
        window->LabeledEdit1->setText(QStringLiteral("kamut"));
        QCOMPARE(current(), mela);
        QVERIFY(services->messages().isEmpty());
    }

    void deleteAFoodOfTheWeek()
    {
        open();
        window->show(); // the window's controls show the food while it is open
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {mela}));
        services->dialogAnswers << Result::No;
        window->btndeleteClick();
        QCOMPARE(foodRows(mela), 1);
        QCOMPARE(menuSlots(anna), (QList<int>{101, 102, 205, 310, 403, 719}));

        services->clear();
        services->dialogAnswers << Result::Yes;
        window->btndeleteClick();
        const auto dialogs = services->callsOf(What::Dialog);
        QCOMPARE(dialogs.size(), 1);
        // Bruno's week keeps the name, and the question says so first.
        QCOMPARE(dialogs[0].text,
                 QStringLiteral("L'alimento è usato nella dieta di un'altra persona, che lo "
                                "conserverà come alimento non presente in archivio.\r"
                                "Vuoi cancellare l'alimento Mela, con buccia ?"));
        QCOMPARE(dialogs[0].kind, MessageKind::Confirmation);
        QCOMPARE(dialogs[0].buttons, 11);
        QCOMPARE(dialogs[0].captions, (QStringList{"Si", "No", "Annulla"}));
        QCOMPARE(dialogs[0].caption, QStringLiteral("Nutrilo 1.0"));
        QCOMPARE(services->textsOf(What::Plain),
                 QStringList{QStringLiteral("Alimento cancellato")});
        QVERIFY(services->callsOf(What::ErrorReport).isEmpty());

        // Every row of the current person naming the food exactly is gone; the row in
        // capitals, the empty slot and the other person's rows stay.
        QCOMPARE(foodRows(mela), 0);
        QCOMPARE(foodRows(QStringLiteral("mela cotta")), 1);
        QCOMPARE(menuSlots(anna), (QList<int>{102, 310, 403}));
        QCOMPARE(menuSlots(bruno), QList<int>{101});
        QVERIFY(dm->DSAlimenti->enabled());
        QCOMPARE(current(), QStringLiteral("Zucchine"));
        QCOMPARE(window->DBText1->text(), QStringLiteral("Zucchine"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void deleteANewFoodKeepsTheEmptySlots()
    {
        open();
        window->btnnuovoClick();
        services->dialogAnswers << Result::Yes;
        window->btndeleteClick();
        QCOMPARE(dm->alimenti->state(), Dataset::State::Browse);
        QCOMPARE(dm->alimenti->recordCount(), 5);
        QCOMPARE(menuSlots(anna), (QList<int>{101, 102, 205, 310, 403, 719}));
    }

    void deleteOnAnEmptyTable()
    {
        db->exec(QStringLiteral("DELETE FROM alimenti"));
        open();
        services->dialogAnswers << Result::Yes;
        window->btndeleteClick();
        QCOMPARE(services->textsOf(What::ErrorReport),
                 QStringList{QStringLiteral("Cannot perform this operation on an empty dataset.")});
        QVERIFY(services->textsOf(What::Plain).isEmpty());
        QCOMPARE(menuSlots(anna), (QList<int>{101, 102, 205, 310, 403, 719}));
        QVERIFY(!window->DBChart1->hasSlices());
    }

    void exitDropsPendingChanges()
    {
        open();
        window->show();
        type(window->DBEdit7, QStringLiteral("999"));
        window->LMDButton8Click();
        QVERIFY(!window->isVisible());
        QCOMPARE(dm->alimenti->state(), Dataset::State::Browse);
        QCOMPARE(window->DBEdit7->text(), QStringLiteral("353"));
        QVERIFY(services->messages().isEmpty());
    }

    void theCloseBoxLeavesAsExitDoes()
    {
        open();
        window->show();
        type(window->DBEdit1, QStringLiteral("Rinominato"));
        QVERIFY(window->close());
        QVERIFY(!window->isVisible());
        QCOMPARE(dm->alimenti->state(), Dataset::State::Browse);
        QCOMPARE(foodRows(QStringLiteral("Rinominato")), 0);
        QCOMPARE(window->DBEdit1->text(), QStringLiteral("Pasta di semola, cruda"));
        // Esc as well.
        window->show();
        type(window->DBEdit1, QStringLiteral("Rinominato"));
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(dm->alimenti->state(), Dataset::State::Browse);
    }

    // --- With the main window's planner

    void saveAndDeleteRefreshTheChoosers()
    {
        open(true);
        if (!plannerHasGrid())
            QSKIP("the weekly planner does not build its grid yet");
        QCOMPARE(planner->slot(101).food->currentText(), mela);
        window->show();
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {pane}));
        type(window->DBEdit7, QStringLiteral("280"));
        window->btnsalvaClick();
        // The lists were rebuilt: the choosers offer the foods and show no text.
        QCOMPARE(planner->slot(101).food->currentText(), QString());
        QCOMPARE(planner->slot(719).food->currentText(), QString());
        QVERIFY(planner->slot(101).food->findText(pane) >= 0);
        // The current food is the last of the table, and the controls show it.
        QCOMPARE(current(), QStringLiteral("Zucchine"));
        QCOMPARE(window->DBEdit1->text(), QStringLiteral("Zucchine"));
        QCOMPARE(window->DBText1->text(), QStringLiteral("Zucchine"));
        QCOMPARE(window->DBChart1->slices()[2].value, 1.4);

        // Delete: the same refresh; the food has left the lists.
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {mela}));
        services->dialogAnswers << Result::Yes;
        window->btndeleteClick();
        QCOMPARE(current(), QStringLiteral("Zucchine"));
        QCOMPARE(window->DBEdit1->text(), QStringLiteral("Zucchine"));
        QCOMPARE(planner->slot(102).food->findText(mela), -1);

        // Exit reloads the week: the choosers show the person's foods again.
        window->LMDButton8Click();
        QCOMPARE(planner->slot(102).food->currentText(), pane);
        QCOMPARE(planner->slot(101).food->currentText(), QString());
    }

    void unsavedWeekSurvivesTheFoodWindow()
    {
        open(true);
        if (!plannerHasGrid())
            QSKIP("the weekly planner does not build its grid yet");
        const QString savedGrams = planner->slot(102).grams->text();
        planner->slot(101).grams->setText(QStringLiteral("321"));
        planner->slot(102).grams->setText(QStringLiteral("100"));
        QVERIFY(planner->changed());
        const QList<int> slotsBefore = menuSlots(anna);

        window->show();
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {pane}));
        type(window->DBEdit7, QStringLiteral("280"));
        window->btnsalvaClick();
        QCOMPARE(planner->slot(101).food->currentText(), QString());
        window->LMDButton8Click();

        // The grid shows what it showed, still unsaved, with the bread's new kcal.
        QCOMPARE(planner->slot(101).food->currentText(), mela);
        QCOMPARE(planner->slot(101).grams->text(), QStringLiteral("321"));
        QCOMPARE(planner->slot(102).food->currentText(), pane);
        QCOMPARE(planner->slot(102).kcal->text(), QStringLiteral("280"));
        QVERIFY(planner->changed());
        QCOMPARE(menuSlots(anna), slotsBefore);
        QVERIFY(savedGrams != QStringLiteral("100"));
    }

    void renamingAFoodRenamesItInEveryWeek()
    {
        open(true);
        if (!plannerHasGrid())
            QSKIP("the weekly planner does not build its grid yet");
        planner->slot(102).grams->setText(QStringLiteral("70")); // unsaved
        const QString rossa = QStringLiteral("Mela rossa");
        window->show();
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {mela}));
        type(window->DBEdit1, rossa);
        // "Annulla": nothing is written and the food stays in editing.
        services->dialogAnswers << Result::Cancel;
        window->btnsalvaClick();
        const auto dialogs = services->callsOf(What::Dialog);
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].text,
                 QStringLiteral("L'alimento \"Mela, con buccia\" è usato nella dieta di 2 "
                                "persone: salvando, anche lì diventa \"Mela rossa\".\rSalvare?"));
        QCOMPARE(foodRows(mela), 1);
        QVERIFY(dm->alimenti->isEditing());
        // "Si": the food and every week naming it (letter case aside), together.
        services->dialogAnswers << Result::Yes;
        window->btnsalvaClick();
        QCOMPARE(foodRows(rossa), 1);
        QCOMPARE(db->rows(QStringLiteral("SELECT ID_Utente, ID_Combo FROM dieta WHERE Alimento = "
                                         "? ORDER BY ID_Utente, ID_Combo"),
                          {rossa}),
                 (QList<QVariantList>{
                     {anna, 101}, {anna, 205}, {anna, 310}, {anna, 719}, {bruno, 101}}));
        QCOMPARE(dm->peopleUsingFood(mela), 0);
        // The week on screen follows, its unsaved change kept.
        window->LMDButton8Click();
        QCOMPARE(planner->slot(101).food->currentText(), rossa);
        QVERIFY(static_cast<FoodChooser*>(planner->slot(101).food)->isRecognised());
        QCOMPARE(planner->slot(102).grams->text(), QStringLiteral("70"));
        QVERIFY(planner->changed());
    }

    void theCloseBoxRestoresTheChoosers()
    {
        open(true);
        if (!plannerHasGrid())
            QSKIP("the weekly planner does not build its grid yet");
        window->show();
        type(window->DBEdit7, QStringLiteral("360"));
        window->btnsalvaClick();
        QCOMPARE(planner->slot(101).food->currentText(), QString());
        window->close();
        QCOMPARE(planner->slot(101).food->currentText(), mela);
        QCOMPARE(planner->slot(102).food->currentText(), pane);
    }
};

NUTRILO_TEST_MAIN(TestFoodWindow)
#include "test_foodwindow.moc"
