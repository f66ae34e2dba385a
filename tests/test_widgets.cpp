// The data-aware controls on the person dataset of a scratch database: the grid (columns,
// read-only cells, selection following the dataset, clicks and keys moving it, in-place
// editing, calculated fields per row, the insert row, the binding point switched off) and
// the edit field and chooser (edit state at the first keystroke, storing on leaving).

#include "AppError.h"
#include "DBComboBox.h"
#include "DBEdit.h"
#include "DBGrid.h"
#include "DBLabel.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DatasetTableModel.h"
#include "FieldLink.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <memory>

using What = ScriptedServices::What;

namespace {
QVariantMap person(int eta, int peso, int altezza)
{
    return {{"eta", eta},
            {"peso", peso},
            {"altezza", altezza},
            {"sesso", "M"},
            {"corporatura", "Media"},
            {"attivita", "Moderata"},
            {"girovita", 90},
            {"sport", "Nuoto"},
            {"ore", 2},
            {"pesodes", peso - 5},
            {"giorni", 60}};
}
} // namespace

class TestWidgets : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<QWidget> window;
    DBGrid* grid = nullptr;
    DBEdit* nome = nullptr;

    DatasetTableModel* model() const { return grid->gridModel(); }
    int column(const QString& field) const { return model()->columnFields().indexOf(field); }
    QString cell(int row, const QString& field) const
    {
        return model()->index(row, column(field)).data().toString();
    }
    void clickRow(int row)
    {
        const QRect r = grid->visualRect(model()->index(row, column("Nome")));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void init()
    {
        services = std::make_unique<ScriptedServices>();
        db = std::make_unique<TestDatabase>();
        db->addPerson("Anna Rossi", person(30, 60, 165));
        db->addPerson("Bruno Bianchi", person(45, 90, 180));
        db->addPerson("Carla Verdi", person(50, 70, 160));
        dm = std::make_unique<TDM>(db->path());
        DM = dm.get();
        window = std::make_unique<QWidget>();
        window->resize(900, 400);
        grid = new DBGrid(window.get());
        grid->setGeometry(0, 0, 900, 300);
        grid->setDataSource(dm->DSUtente);
        nome = new DBEdit(dm->DSUtente, "Nome", window.get());
        nome->setGeometry(0, 310, 200, 22);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        services->clear();
    }

    void cleanup()
    {
        window.reset();
        DM = nullptr;
        dm.reset();
        db.reset();
        services.reset();
    }

    void columnsTitlesAndReadOnlyCells()
    {
        QCOMPARE(model()->columnCount(), 21);
        QCOMPARE(model()->rowCount(), 3);
        QCOMPARE(model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
        QCOMPARE(model()->headerData(18, Qt::Horizontal).toString(),
                 QStringLiteral("%massagrassa"));
        QVERIFY(!(model()->flags(model()->index(0, column("ID"))) & Qt::ItemIsEditable));
        QVERIFY(!(model()->flags(model()->index(0, column("BMI"))) & Qt::ItemIsEditable));
        QVERIFY(model()->flags(model()->index(0, column("Nome"))) & Qt::ItemIsEditable);
        QVERIFY(model()->flags(model()->index(0, column("foto"))) & Qt::ItemIsEditable);

        // Chosen columns, titles, read-only, width and background.
        grid->setColumns({"Nome", "peso", "BMI"}, {"Persona"});
        grid->setColumnReadOnly(1, true);
        grid->setColumnWidth(0, 150);
        grid->setColumnBackground(2, Qt::yellow);
        QCOMPARE(model()->columnCount(), 3);
        QCOMPARE(model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Persona"));
        QCOMPARE(model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("peso"));
        QVERIFY(!(model()->flags(model()->index(0, 1)) & Qt::ItemIsEditable));
        QCOMPARE(model()->index(0, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::yellow));
        dm->utente->next(); // rows re-read: widths are kept
        dm->utente->deleteRecord();
        QCOMPARE(grid->columnWidth(0), 150);
        QCOMPARE(model()->rowCount(), 2);

        // The same through column descriptions; earlier widths and backgrounds are dropped.
        const int defaultWidth = grid->horizontalHeader()->defaultSectionSize();
        grid->setColumns(QList<DBGrid::Column>{
            {"ID", "", 0, {}}, {"Nome", "Chi", 220, {}}, {"BMI", "", 0, QColor(Qt::cyan)}});
        QCOMPARE(model()->columnCount(), 3);
        QCOMPARE(model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
        QCOMPARE(model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Chi"));
        QCOMPARE(grid->columnWidth(0), defaultWidth);
        QCOMPARE(grid->columnWidth(1), 220);
        QVERIFY(!model()->index(0, 0).data(Qt::BackgroundRole).isValid());
        QCOMPARE(model()->index(0, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::cyan));
        QVERIFY(!(model()->flags(model()->index(0, 2)) & Qt::ItemIsEditable));
        QVERIFY(model()->flags(model()->index(0, 1)) & Qt::ItemIsEditable);
        grid->setTitleColor(Qt::red);
        QCOMPARE(model()->headerData(1, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
                 QColor(Qt::red));
    }

    void selectionFollowsTheDatasetAndClicksMoveIt()
    {
        QCOMPARE(grid->currentIndex().row(), 0);
        dm->utente->next();
        QCOMPARE(grid->currentIndex().row(), 1);
        QVERIFY(grid->selectionModel()->isRowSelected(1, {}));
        clickRow(2);
        QCOMPARE(dm->utenteNome->asString(), QStringLiteral("Carla Verdi"));
        QCOMPARE(nome->text(), QStringLiteral("Carla Verdi"));
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(dm->utenteNome->asString(), QStringLiteral("Bruno Bianchi"));
        QCOMPARE(grid->currentIndex().row(), 1);
        QVERIFY(services->messages().isEmpty());
    }

    void hiddenWindowCatchesUpWhenShown()
    {
        // While the window is hidden its grid and fields do no work for the dataset...
        window->hide();
        const int fetched = model()->fetchCount();
        dm->utente->next();
        dm->utente->insertWithValues({});
        QCOMPARE(model()->fetchCount(), fetched);
        // ... and once shown they show where the dataset is: the rows, the selected row,
        // the field and the calculated fields of the rows in view.
        dm->utente->locate("Nome", {QStringLiteral("Carla Verdi")});
        window->show();
        QCOMPARE(model()->rowCount(), 4);
        QCOMPARE(grid->currentIndex().row(), 2);
        QVERIFY(grid->selectionModel()->isRowSelected(2, {}));
        QCOMPARE(nome->text(), QStringLiteral("Carla Verdi"));
        QCOMPARE(cell(1, "BMI"), dm->utente->fetchRow(1).at(dm->utenteBMI->index()).toString());
        // Visible again, it follows every move at once.
        dm->utente->first();
        QCOMPARE(grid->currentIndex().row(), 0);
        QCOMPARE(nome->text(), QStringLiteral("Anna Rossi"));
    }

    void moveWithPendingChangesPostsOrIsRefused()
    {
        // A changed row is posted when another row is clicked.
        dm->utente->edit();
        dm->utenteeta->setAsString("31");
        clickRow(1);
        QCOMPARE(services->textsOf(What::Dialog),
                 QStringList{"Utente inserito/modificato correttamente."});
        QCOMPARE(cell(0, "eta"), QStringLiteral("31"));
        QCOMPARE(grid->currentIndex().row(), 1);

        // A refused post keeps the old row, selected, in the edit state.
        services->clear();
        dm->utente->edit();
        dm->utenteeta->setAsString("trenta");
        clickRow(2);
        QCOMPARE(services->callsOf(What::Dialog).size(), 1);
        QCOMPARE(services->callsOf(What::Dialog).first().kind, MessageKind::Error);
        QCOMPARE(dm->utenteNome->asString(), QStringLiteral("Bruno Bianchi"));
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
        QCOMPARE(grid->currentIndex().row(), 1);
        QVERIFY(services->callsOf(What::ErrorReport).isEmpty());
        dm->utente->cancel();
        QCOMPARE(cell(1, "eta"), QStringLiteral("45"));
    }

    void inPlaceEditingActsAsTheFields()
    {
        dm->utente->next();
        grid->setCurrentIndex(model()->index(1, column("peso")));
        QTest::keyClick(grid, Qt::Key_8);
        QVERIFY(grid->cellEditor());
        // Edit state at the first keystroke; nothing stored yet.
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
        QCOMPARE(dm->utentepeso->asString(), QStringLiteral("90"));
        const QString bmiBefore = dm->utenteBMI->asString();
        QTest::keyClick(grid->cellEditor(), Qt::Key_5);
        QTest::keyClick(grid->cellEditor(), Qt::Key_Return);
        QCoreApplication::processEvents(); // the editor commits once its key is handled
        // Stored, calculated fields produced again, bound controls and the grid updated.
        QCOMPARE(dm->utentepeso->asString(), QStringLiteral("85"));
        QVERIFY(dm->utenteBMI->asString() != bmiBefore);
        QCOMPARE(cell(1, "BMI"), dm->utenteBMI->asString());
        QCOMPARE(cell(1, "peso"), QStringLiteral("85"));
        dm->utente->post();
        QCOMPARE(db->rows("SELECT peso FROM Utenti WHERE Nome = 'Bruno Bianchi'")
                     .first()
                     .first()
                     .toInt(),
                 85);

        // A cell being edited is stored when the row is posted by another control.
        grid->setCurrentIndex(model()->index(1, column("Nome")));
        QTest::keyClick(grid, 'B');
        QVERIFY(grid->cellEditor());
        QTest::keyClicks(grid->cellEditor(), "runo B.");
        dm->utente->post();
        QCOMPARE(
            db->rows("SELECT count(*) FROM Utenti WHERE Nome = 'Bruno B.'").first().first().toInt(),
            1);

        // Cancel drops a typed cell and the grid shows the stored value again.
        grid->setCurrentIndex(model()->index(1, column("girovita")));
        QTest::keyClick(grid, Qt::Key_7);
        dm->utente->cancel();
        QCOMPARE(cell(1, "girovita"), QStringLiteral("90"));
        QVERIFY(!grid->cellEditor() || !grid->cellEditor()->isModified());
        QCOMPARE(dm->utente->state(), Dataset::State::Browse);
    }

    void calculatedFieldsPerRowProducedOnceUntilTheRowsChange()
    {
        // Each row shows its own metrics, as the dataset produces them when it is current.
        QStringList expected;
        for (int row = 0; row < 3; ++row) {
            dm->utente->moveTo(row);
            expected << dm->utenteBMI->asString();
        }
        dm->utente->first();
        QVERIFY(!expected.contains(QString()));
        QCOMPARE(QSet<QString>(expected.begin(), expected.end()).size(), 3);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(cell(row, "BMI"), expected.at(row));

        // Painting again does not compute again.
        const int produced = model()->fetchCount();
        grid->viewport()->repaint();
        for (int row = 0; row < 3; ++row)
            cell(row, "razzterr");
        QCOMPARE(model()->fetchCount(), produced);

        // While a new row is inserted it is the extra last row, the old row keeps its values.
        dm->utente->insert();
        QCOMPARE(model()->rowCount(), 4);
        QCOMPARE(grid->currentIndex().row(), 3);
        QCOMPARE(cell(0, "BMI"), expected.at(0));
        QCOMPARE(cell(3, "Nome"), QString());
        dm->utente->cancel();
        QCOMPARE(model()->rowCount(), 3);
        QCOMPARE(grid->currentIndex().row(), 0);
    }

    void cancelledNewRowKeepsTheRowThatWasCurrent()
    {
        // New on the second row, a name typed, then Cancel (or Delete of the unsaved row):
        // the second row stays current once every pending event has run.
        for (const bool byDelete : {false, true}) {
            dm->utente->first();
            dm->utente->next();
            dm->utente->insert();
            nome->setFocus();
            QTest::keyClicks(nome, "Nuovo");
            grid->setFocus(); // stores the name into the new row
            QCOMPARE(model()->rowCount(), 4);
            if (byDelete)
                dm->utente->deleteRecord();
            else
                dm->utente->cancel();
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            QCOMPARE(dm->utenteNome->asString(), QStringLiteral("Bruno Bianchi"));
            QCOMPARE(grid->currentIndex().row(), 1);
            QCOMPARE(model()->rowCount(), 3);
        }
    }

    void switchedOffShowsNoRows()
    {
        dm->DSUtente->setEnabled(false);
        QCOMPARE(model()->rowCount(), 0);
        QVERIFY(!grid->currentIndex().isValid());
        dm->utente->next(); // not followed while off
        QCOMPARE(model()->rowCount(), 0);
        dm->DSUtente->setEnabled(true);
        QCOMPARE(model()->rowCount(), 3);
        QCOMPARE(grid->currentIndex().row(), 1);
    }

    void editFieldAndChooser()
    {
        auto* sesso = new DBComboBox(dm->DSUtente, "sesso", {"M", "F"}, window.get());
        auto* bmi = new DBLabel(dm->DSUtente, "BMI", window.get());
        auto* id = new DBEdit(dm->DSUtente, "ID", window.get());
        sesso->setGeometry(220, 310, 60, 22);
        sesso->show();
        bmi->show();
        id->show();
        QVERIFY(id->isReadOnly());
        QCOMPARE(nome->maxLength(), 30);

        // Typing enters the edit state; leaving the field stores the text.
        nome->setFocus();
        QTest::keyClick(nome, Qt::Key_End);
        QTest::keyClicks(nome, " Neri");
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
        QCOMPARE(dm->utenteNome->asString(), QStringLiteral("Anna Rossi"));
        sesso->setFocus();
        QCOMPARE(dm->utenteNome->asString(), QStringLiteral("Anna Rossi Neri"));
        QCOMPARE(cell(0, "Nome"), QStringLiteral("Anna Rossi Neri"));

        // A text typed into the chooser is stored as typed and the metrics follow.
        const QString before = bmi->text();
        sesso->lineEdit()->selectAll();
        QTest::keyClicks(sesso->lineEdit(), "F");
        nome->setFocus();
        QCOMPARE(dm->utentesesso->asString(), QStringLiteral("F"));
        QCOMPARE(bmi->text(), dm->utenteBMI->asString());
        Q_UNUSED(before);

        // Esc drops a typed change that was not stored yet.
        QTest::keyClicks(nome, "xyz");
        QTest::keyClick(nome, Qt::Key_Escape);
        QCOMPARE(nome->text(), QStringLiteral("Anna Rossi Neri"));
        dm->utente->post();
        QCOMPARE(db->rows("SELECT sesso FROM Utenti WHERE Nome = 'Anna Rossi Neri'").size(), 1);

        // Switched off the controls show nothing.
        dm->DSUtente->setEnabled(false);
        QCOMPARE(nome->text(), QString());
        QCOMPARE(bmi->text(), QString());
        dm->DSUtente->setEnabled(true);
        QCOMPARE(nome->text(), QStringLiteral("Anna Rossi Neri"));
    }
};

NUTRILO_TEST_MAIN(TestWidgets)
#include "test_widgets.moc"
