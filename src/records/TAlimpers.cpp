#include "TAlimpers.h"

#include "Accessibility.h"
#include "AppError.h"
#include "AppTexts.h"
#include "DBEdit.h"
#include "DBGrid.h"
#include "DBLabel.h"
#include "DataSource.h"
#include "Dataset.h"
#include "FieldRanges.h"
#include "FieldText.h"
#include "NutrientPanel.h"
#include "PieChart.h"
#include "Recipes.h"
#include "RecordStore.h"
#include "TDM.h"
#include "UserServices.h"
#include "WeeklyPlanner.h"
#include "WordSearch.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <limits>

namespace {

const QColor maroon(128, 0, 0);
const QColor skyBlue(166, 202, 240);

// Switches a binding point off and shows the hourglass for as long as it lives; the
// normal cursor and the binding point come back however the work inside ends.
class DetachedWork {
public:
    explicit DetachedWork(DataSource* source) : source_(source)
    {
        source_->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~DetachedWork()
    {
        QApplication::restoreOverrideCursor();
        source_->setEnabled(true);
    }
    DetachedWork(const DetachedWork&) = delete;
    DetachedWork& operator=(const DetachedWork&) = delete;

private:
    DataSource* source_;
};

} // namespace

TAlimpers::TAlimpers(TDM* dm, WeeklyPlanner* planner, QWidget* parent)
    : QDialog(parent), dm_(dm), planner_(planner)
{
    modificatoAltrove = new ChangedElsewhereBar(dm_->alimenti, QStringLiteral("L'alimento"), this);
    connect(dm_, &TDM::dataRefreshed, this, [this](const TDM::Refreshed& what) {
        if (what.editedFood && isVisible())
            modificatoAltrove->showChange();
    });
    setObjectName(QStringLiteral("Alimpers"));
    setWindowTitle(QStringLiteral("Inserisci, Modifica, Cancella, Alimenti "));
    resize(876, 482);

    QFont f(QStringLiteral("MS Sans Serif"), 8, QFont::Bold);
    f.setStyleHint(QFont::SansSerif);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, maroon);
    pal.setColor(QPalette::Text, maroon);
    pal.setColor(QPalette::ButtonText, maroon);
    setPalette(pal);

    buildTopBar();
    buildFields();
    buildGrid();
    buildChart();
    buildNutrients();
    buildRecipe();
    buildPortions();

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }

    // Every move off the current food, whoever makes it (the buttons, the grid, the search),
    // first settles what the recipe page holds unsaved.
    foods_ = dm_->alimenti;
    foods_->onBeforeMove = [this](Dataset&) {
        if (!settleRecipe())
            throw AbortError();
    };
}

TAlimpers::~TAlimpers()
{
    if (foods_)
        foods_->onBeforeMove = {};
}

QPushButton* TAlimpers::pictureButton(const QString& name, const QString& picture,
                                      const QString& tooltip)
{
    auto* b = new QPushButton(Panel2);
    b->setObjectName(name);
    b->setIcon(QIcon(picture));
    b->setIconSize(QSize(24, 24));
    b->setFixedSize(32, 32);
    b->setToolTip(tooltip);
    b->setFlat(true);
    b->setAutoDefault(false);
    return b;
}

void TAlimpers::buildTopBar()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setAutoFillBackground(true);
    QPalette pal = Panel2->palette();
    pal.setColor(QPalette::Window, skyBlue);
    pal.setColor(QPalette::Button, skyBlue);
    Panel2->setPalette(pal);
    Panel2->setGeometry(0, 0, width(), 41);

    down = pictureButton(QStringLiteral("down"), QStringLiteral(":/pictures/indietro.png"),
                         QStringLiteral("Indietro"));
    up = pictureButton(QStringLiteral("up"), QStringLiteral(":/pictures/avanti.png"),
                       QStringLiteral("Avanti"));
    btnnuovo = pictureButton(QStringLiteral("btnnuovo"), QStringLiteral(":/pictures/nuovo.png"),
                             QStringLiteral("Nuovo Alimento"));
    btndelete =
        pictureButton(QStringLiteral("btndelete"), QStringLiteral(":/pictures/cancella.png"),
                      QStringLiteral("Cancella alimento"));
    btnsalva = pictureButton(QStringLiteral("btnsalva"), QStringLiteral(":/pictures/salva.png"),
                             QStringLiteral("Memorizza nuovo alimento"));
    btnannulla = pictureButton(QStringLiteral("btnannulla"),
                               QStringLiteral(":/pictures/annulla.png"), QStringLiteral("Annulla"));
    // The buttons show pictures only: a screen reader says what each one does.
    const std::pair<QPushButton*, const char*> actions[] = {
        {down, "Alimento precedente"},  {up, "Alimento successivo"},
        {btnnuovo, "Nuovo alimento"},   {btndelete, "Cancella l'alimento"},
        {btnsalva, "Salva l'alimento"}, {btnannulla, "Annulla i cambiamenti"}};
    for (const auto& [button, action] : actions)
        Accessibility::setName(button, QString::fromUtf8(action));

    auto* searchCaption = new QLabel(QStringLiteral("Cerca"), Panel2);
    searchCaption->setObjectName(QStringLiteral("LabeledEdit1Label"));
    LabeledEdit1 = new QLineEdit(Panel2);
    LabeledEdit1->setObjectName(QStringLiteral("LabeledEdit1"));
    LabeledEdit1->setFixedSize(201, 19);
    searchCaption->setBuddy(LabeledEdit1);
    auto* search = new QVBoxLayout;
    search->setContentsMargins(0, 0, 0, 0);
    search->setSpacing(1);
    search->addWidget(searchCaption);
    search->addWidget(LabeledEdit1);

    LMDButton8 = pictureButton(QStringLiteral("LMDButton8"), QStringLiteral(":/pictures/esci.png"),
                               QStringLiteral("Esci"));
    Accessibility::setName(LMDButton8, QStringLiteral("Esci"));

    auto* bar = new QHBoxLayout(Panel2);
    bar->setContentsMargins(6, 2, 6, 2);
    bar->setSpacing(4);
    for (QPushButton* b : {down, up, btnnuovo, btndelete, btnsalva, btnannulla})
        bar->addWidget(b);
    btnnutrienti = new QPushButton(QStringLiteral("Nutrienti"), Panel2);
    btnnutrienti->setObjectName(QStringLiteral("btnnutrienti"));
    btnnutrienti->setCheckable(true);
    btnnutrienti->setAutoDefault(false);
    btnnutrienti->setFixedHeight(32);
    btnnutrienti->setToolTip(
        QStringLiteral("Mostra i nutrienti dell'alimento al posto del grafico"));
    Accessibility::setName(btnnutrienti, QStringLiteral("Nutrienti dell'alimento"));
    btnricetta = new QPushButton(QStringLiteral("Ricetta"), Panel2);
    btnricetta->setObjectName(QStringLiteral("btnricetta"));
    btnricetta->setCheckable(true);
    btnricetta->setAutoDefault(false);
    btnricetta->setFixedHeight(32);
    btnricetta->setToolTip(QStringLiteral("Mostra la ricetta dell'alimento al posto del grafico"));
    Accessibility::setName(btnricetta, QStringLiteral("Ricetta dell'alimento"));
    btnporzioni = new QPushButton(QStringLiteral("Porzioni"), Panel2);
    btnporzioni->setObjectName(QStringLiteral("btnporzioni"));
    btnporzioni->setCheckable(true);
    btnporzioni->setAutoDefault(false);
    btnporzioni->setFixedHeight(32);
    btnporzioni->setToolTip(
        QStringLiteral("Mostra le porzioni dell'alimento al posto del grafico"));
    Accessibility::setName(btnporzioni, QStringLiteral("Porzioni dell'alimento"));
    bar->addSpacing(12);
    bar->addWidget(btnnutrienti);
    bar->addWidget(btnricetta);
    bar->addWidget(btnporzioni);
    bar->addSpacing(24);
    bar->addLayout(search);
    bar->addStretch(1);
    bar->addWidget(LMDButton8);

    connect(down, &QPushButton::clicked, this, &TAlimpers::downClick);
    connect(up, &QPushButton::clicked, this, &TAlimpers::upClick);
    connect(btnnuovo, &QPushButton::clicked, this, &TAlimpers::btnnuovoClick);
    connect(btndelete, &QPushButton::clicked, this, &TAlimpers::btndeleteClick);
    connect(btnsalva, &QPushButton::clicked, this, &TAlimpers::btnsalvaClick);
    connect(btnannulla, &QPushButton::clicked, this, &TAlimpers::btnannullaClick);
    connect(LabeledEdit1, &QLineEdit::textChanged, this, &TAlimpers::LabeledEdit1Change);
    connect(LMDButton8, &QPushButton::clicked, this, &TAlimpers::LMDButton8Click);
    connect(btnnutrienti, &QPushButton::toggled, this,
            [this](bool on) { runGuarded([&] { showNutrients(on); }); });
    connect(btnricetta, &QPushButton::toggled, this,
            [this](bool on) { runGuarded([&] { showRecipe(on); }); });
    connect(btnporzioni, &QPushButton::toggled, this,
            [this](bool on) { runGuarded([&] { showPortions(on); }); });
}

void TAlimpers::buildFields()
{
    struct FieldLook {
        DBEdit** edit;
        const char* name;
        const char* caption;
        const char* field;
    };
    const FieldLook looks[] = {
        {&DBEdit1, "DBEdit1", "Alimento", "Alimento"},
        {&DBEdit2, "DBEdit2", "%edibile", "%edibile"},
        {&DBEdit3, "DBEdit3", "Acqua", "Acqua"},
        {&DBEdit4, "DBEdit4", "Proteine", "Proteine"},
        {&DBEdit5, "DBEdit5", "Lipidi", "Lipidi"},
        {&DBEdit6, "DBEdit6", "Carboidrati", "Carboidrati"},
        {&DBEdit7, "DBEdit7", "Kcal/100", "kcal100"},
    };
    const int left = 8;
    const int top = 50;
    const int rowHeight = 44;
    const int fieldWidth = 80;
    const int columnStep = 88;
    for (int i = 0; i < int(std::size(looks)); ++i) {
        const FieldLook& s = looks[i];
        // The name on its own row, then three fields per row.
        const int row = i == 0 ? 0 : 1 + (i - 1) / 3;
        const int column = i == 0 ? 0 : (i - 1) % 3;
        const int x = left + column * columnStep;
        const int y = top + row * rowHeight;
        auto* caption = new QLabel(QString::fromUtf8(s.caption), this);
        caption->setObjectName(QStringLiteral("Label_") + QString::fromUtf8(s.name));
        caption->setGeometry(x, y, i == 0 ? 2 * columnStep + fieldWidth : fieldWidth, 15);
        auto* edit = new DBEdit(dm_->DSAlimenti, QString::fromUtf8(s.field), this);
        edit->setObjectName(QString::fromUtf8(s.name));
        edit->setGeometry(x, y + 16, i == 0 ? 2 * columnStep + fieldWidth : fieldWidth, 21);
        caption->setBuddy(edit);
        *s.edit = edit;
    }
}

void TAlimpers::buildGrid()
{
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(280, 48, 585, 137);
    DBGrid1->setDataSource(dm_->DSAlimenti);
    const QStringList fields{QStringLiteral("Alimento"), QStringLiteral("%edibile"),
                             QStringLiteral("Acqua"),    QStringLiteral("Proteine"),
                             QStringLiteral("Lipidi"),   QStringLiteral("Carboidrati"),
                             QStringLiteral("kcal100")};
    DBGrid1->setColumns(fields, fields);
    Accessibility::setName(DBGrid1, QStringLiteral("Elenco degli alimenti"));
    // The classic desktop colours: tooltip background, scroll bar, money green, the
    // light end of an active caption's gradient, inactive caption (the desktop's light
    // grey-blue: the maroon text reads on it).
    const QColor tooltip(255, 255, 225);
    const QColor scrollBar(212, 208, 200);
    const QColor moneyGreen(192, 220, 192);
    const QColor gradientActiveCaption(166, 202, 240);
    const QColor inactiveCaption(191, 205, 219);
    const QColor backgrounds[] = {
        tooltip, scrollBar, tooltip, moneyGreen, gradientActiveCaption, scrollBar, inactiveCaption};
    // Wide enough for each title.
    const int widths[] = {162, 62, 56, 64, 56, 82, 64};
    for (int column = 0; column < fields.size(); ++column) {
        DBGrid1->setColumnBackground(column, backgrounds[column]);
        DBGrid1->setColumnWidth(column, widths[column]);
    }
    QFont title = font();
    title.setBold(true);
    DBGrid1->setTitleFont(title);
    DBGrid1->setTitleColour(maroon);
    DBGrid1->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: rgb(166, 202, 240); "
                       "color: rgb(128, 0, 0); font-weight: bold; border: 0px; "
                       "border-right: 1px solid rgb(128, 128, 128); "
                       "border-bottom: 1px solid rgb(128, 128, 128); padding: 1px 3px; }"));
}

void TAlimpers::buildChart()
{
    DBChart1 = new PieChart(this);
    DBChart1->setObjectName(QStringLiteral("DBChart1"));
    DBChart1->setTitle(QStringLiteral("Grafico alimento"));
    DBChart1->setGeometry((width() - 825) / 2, 214, 825, 233);
    DBChart1->setDataSource(dm_->DSAlimenti, {QStringLiteral("Proteine"), QStringLiteral("Lipidi"),
                                              QStringLiteral("Carboidrati")});

    DBText1 = new DBLabel(dm_->DSAlimenti, QStringLiteral("Alimento"), DBChart1);
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setAutoFillBackground(false);
    DBText1->setAttribute(Qt::WA_TranslucentBackground);
    DBText1->setGeometry(6, 4, 400, 16);
}

void TAlimpers::buildNutrients()
{
    PanelNutrienti = new QWidget(this);
    PanelNutrienti->setObjectName(QStringLiteral("PanelNutrienti"));
    PanelNutrienti->setGeometry(DBChart1->geometry());
    Accessibility::setName(PanelNutrienti, QStringLiteral("Nutrienti dell'alimento"));
    auto* grid = new QGridLayout(PanelNutrienti);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(1);
    auto* title = new QLabel(QStringLiteral("Nutrienti per 100 g di parte edibile (vuoto: "
                                            "non misurato, \"n.d.\")"),
                             PanelNutrienti);
    title->setObjectName(QStringLiteral("LabelNutrienti"));
    grid->addWidget(title, 0, 0, 1, 4);
    // The food's group, beside the title: one of the groups foods already belong to, or a
    // new one typed in.
    auto* groupCaption = new QLabel(QStringLiteral("Gruppo"), PanelNutrienti);
    groupCaption->setObjectName(QStringLiteral("Label_NutrientiGruppo"));
    NutrientiGruppo = new QComboBox(PanelNutrienti);
    NutrientiGruppo->setObjectName(QStringLiteral("NutrientiGruppo"));
    NutrientiGruppo->setEditable(true);
    NutrientiGruppo->setInsertPolicy(QComboBox::NoInsert);
    NutrientiGruppo->lineEdit()->setMaxLength(TableSchema::gruppiAlimenti().columns.at(1).width);
    NutrientiGruppo->setAccessibleName(QStringLiteral("Gruppo dell'alimento"));
    // The first, empty entry: no group (saving it takes the food out of its group).
    NutrientiGruppo->lineEdit()->setPlaceholderText(QStringLiteral("nessun gruppo"));
    NutrientiGruppo->setMinimumWidth(200);
    groupCaption->setBuddy(NutrientiGruppo);
    grid->addWidget(groupCaption, 0, 4);
    grid->addWidget(NutrientiGruppo, 0, 5);
    connect(NutrientiGruppo->lineEdit(), &QLineEdit::textEdited, this,
            [this] { runGuarded([&] { groupEdited(); }); });
    connect(NutrientiGruppo, &QComboBox::activated, this,
            [this] { runGuarded([&] { groupEdited(); }); });
    constexpr int perColumn = 8;
    const auto add = [&](int index, QLabel* caption, QLineEdit* edit) {
        const int row = 1 + index % perColumn;
        const int column = 2 * (index / perColumn);
        caption->setBuddy(edit);
        edit->setFixedWidth(72);
        grid->addWidget(caption, row, column);
        grid->addWidget(edit, row, column + 1);
    };
    for (int i = 0; i < NutrientPanel::Count; ++i) {
        const NutrientDef& n = NutrientPanel::all()[i];
        auto* caption = new QLabel(NutrientPanel::captionWithUnit(i), PanelNutrienti);
        caption->setObjectName(QStringLiteral("Label_Nutriente_") + n.column);
        auto* edit = new QLineEdit(PanelNutrienti);
        edit->setObjectName(QStringLiteral("Nutriente_") + n.column);
        edit->setPlaceholderText(QStringLiteral("n.d."));
        edit->setAccessibleName(NutrientPanel::captionWithUnit(i));
        add(i, caption, edit);
        nutrientEdits << edit;
        connect(edit, &QLineEdit::textEdited, this,
                [this] { runGuarded([&] { nutrientEdited(); }); });
    }
    auto* caption = new QLabel(QStringLiteral("Fonte"), PanelNutrienti);
    caption->setObjectName(QStringLiteral("Label_NutrientiFonte"));
    NutrientiFonte = new QLineEdit(PanelNutrienti);
    NutrientiFonte->setObjectName(QStringLiteral("NutrientiFonte"));
    NutrientiFonte->setMaxLength(TableSchema::nutrienti().columns.at(1).width);
    NutrientiFonte->setAccessibleName(QStringLiteral("Fonte dei nutrienti"));
    add(NutrientPanel::Count, caption, NutrientiFonte);
    NutrientiFonte->setFixedWidth(130);
    connect(NutrientiFonte, &QLineEdit::textEdited, this,
            [this] { runGuarded([&] { nutrientEdited(); }); });
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(perColumn + 1, 1);
    PanelNutrienti->hide();

    // The page follows the current food, and what another program writes, while shown.
    connect(dm_->DSAlimenti, &DataSource::currentChanged, this, [this] { fillNutrients(); });
    connect(dm_->DSAlimenti, &DataSource::stateChanged, this, [this] {
        if (!dm_->alimenti->isEditing()) {
            nutrientsTyped_ = false;
            groupTyped_ = false;
        }
        fillNutrients();
    });
    connect(dm_, &TDM::dataRefreshed, this, [this] { fillNutrients(); });
}

void TAlimpers::showNutrients(bool on)
{
    if (btnnutrienti->isChecked() != on)
        btnnutrienti->setChecked(on); // comes back here through toggled
    if (on && btnricetta->isChecked())
        btnricetta->setChecked(false);
    if (on && btnporzioni->isChecked())
        btnporzioni->setChecked(false);
    showChartUnlessAPage();
    PanelNutrienti->setVisible(on);
    btnnutrienti->setToolTip(on ? QStringLiteral("Mostra il grafico dell'alimento")
                                : QStringLiteral("Mostra i nutrienti dell'alimento al posto del "
                                                 "grafico"));
    fillNutrients();
}

void TAlimpers::buildRecipe()
{
    PanelRicetta = new QWidget(this);
    PanelRicetta->setObjectName(QStringLiteral("PanelRicetta"));
    PanelRicetta->setGeometry(DBChart1->geometry());
    Accessibility::setName(PanelRicetta, QStringLiteral("Ricetta dell'alimento"));
    auto* grid = new QGridLayout(PanelRicetta);
    grid->setContentsMargins(6, 4, 6, 4);
    auto* title = new QLabel(QStringLiteral("Ingredienti (grammi di parte edibile)"), PanelRicetta);
    title->setObjectName(QStringLiteral("LabelRicetta"));
    grid->addWidget(title, 0, 0, 1, 2);
    RicettaIngredienti = new QTableWidget(0, 2, PanelRicetta);
    RicettaIngredienti->setObjectName(QStringLiteral("RicettaIngredienti"));
    RicettaIngredienti->setHorizontalHeaderLabels(
        {QStringLiteral("Alimento"), QStringLiteral("Grammi")});
    RicettaIngredienti->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    RicettaIngredienti->setColumnWidth(1, 80);
    RicettaIngredienti->verticalHeader()->setDefaultSectionSize(22);
    Accessibility::setName(RicettaIngredienti, QStringLiteral("Ingredienti della ricetta"));
    title->setBuddy(RicettaIngredienti);
    grid->addWidget(RicettaIngredienti, 1, 0, 5, 2);
    btnaggiungiingrediente = new QPushButton(QStringLiteral("Aggiungi ingrediente"), PanelRicetta);
    btnaggiungiingrediente->setObjectName(QStringLiteral("btnaggiungiingrediente"));
    btnaggiungiingrediente->setAutoDefault(false);
    Accessibility::setName(btnaggiungiingrediente, QStringLiteral("Aggiungi un ingrediente"));
    btntogliingrediente = new QPushButton(QStringLiteral("Togli ingrediente"), PanelRicetta);
    btntogliingrediente->setObjectName(QStringLiteral("btntogliingrediente"));
    btntogliingrediente->setAutoDefault(false);
    Accessibility::setName(btntogliingrediente, QStringLiteral("Togli l'ingrediente scelto"));
    grid->addWidget(btnaggiungiingrediente, 6, 0);
    grid->addWidget(btntogliingrediente, 6, 1);
    auto* weightCaption = new QLabel(QStringLiteral("Peso cotto (g)"), PanelRicetta);
    weightCaption->setObjectName(QStringLiteral("Label_RicettaPesoCotto"));
    RicettaPesoCotto = new QLineEdit(PanelRicetta);
    RicettaPesoCotto->setObjectName(QStringLiteral("RicettaPesoCotto"));
    RicettaPesoCotto->setPlaceholderText(QStringLiteral("somma ingredienti"));
    RicettaPesoCotto->setAccessibleName(QStringLiteral("Peso cotto della ricetta in grammi"));
    RicettaPesoCotto->setFixedWidth(130);
    weightCaption->setBuddy(RicettaPesoCotto);
    grid->addWidget(weightCaption, 0, 2);
    grid->addWidget(RicettaPesoCotto, 1, 2);
    RicettaValori = new QLabel(PanelRicetta);
    RicettaValori->setObjectName(QStringLiteral("RicettaValori"));
    RicettaValori->setAccessibleName(QStringLiteral("Valori calcolati della ricetta"));
    RicettaValori->setTextInteractionFlags(Qt::TextSelectableByMouse);
    RicettaValori->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(RicettaValori, 2, 2, 4, 1);
    btnsalvaricetta = new QPushButton(QStringLiteral("Salva ricetta"), PanelRicetta);
    btnsalvaricetta->setObjectName(QStringLiteral("btnsalvaricetta"));
    btnsalvaricetta->setAutoDefault(false);
    Accessibility::setName(btnsalvaricetta, QStringLiteral("Salva la ricetta"));
    grid->addWidget(btnsalvaricetta, 6, 2);
    grid->setColumnStretch(0, 1);
    PanelRicetta->hide();

    connect(btnaggiungiingrediente, &QPushButton::clicked, this, [this] {
        runGuarded([&] {
            addIngredientRow();
            recipeEdited();
            // Ready to type the new ingredient's food.
            const int row = RicettaIngredienti->rowCount() - 1;
            RicettaIngredienti->setCurrentCell(row, 0);
            if (auto* chooser = qobject_cast<QComboBox*>(RicettaIngredienti->cellWidget(row, 0))) {
                chooser->setFocus(Qt::OtherFocusReason);
                chooser->lineEdit()->selectAll();
            }
        });
    });
    connect(btntogliingrediente, &QPushButton::clicked, this, [this] {
        const int row = RicettaIngredienti->currentRow();
        if (row >= 0) {
            RicettaIngredienti->removeRow(row);
            recipeEdited();
        }
    });
    connect(RicettaIngredienti, &QTableWidget::itemChanged, this, [this] { recipeEdited(); });
    connect(RicettaPesoCotto, &QLineEdit::textEdited, this, [this] { recipeEdited(); });
    connect(btnsalvaricetta, &QPushButton::clicked, this,
            [this] { runGuarded([&] { btnsalvaricettaClick(); }); });
    connect(dm_->DSAlimenti, &DataSource::currentChanged, this, [this] { fillRecipe(); });
    connect(dm_, &TDM::dataRefreshed, this, [this] { fillRecipe(); });
}

void TAlimpers::showRecipe(bool on)
{
    if (btnricetta->isChecked() != on)
        btnricetta->setChecked(on); // comes back here through toggled
    if (on && btnnutrienti->isChecked())
        btnnutrienti->setChecked(false);
    if (on && btnporzioni->isChecked())
        btnporzioni->setChecked(false);
    showChartUnlessAPage();
    PanelRicetta->setVisible(on);
    fillRecipe();
}

void TAlimpers::showChartUnlessAPage()
{
    DBChart1->setVisible(!btnnutrienti->isChecked() && !btnricetta->isChecked() &&
                         !btnporzioni->isChecked());
}

void TAlimpers::buildPortions()
{
    PanelPorzioni = new QWidget(this);
    PanelPorzioni->setObjectName(QStringLiteral("PanelPorzioni"));
    PanelPorzioni->setGeometry(DBChart1->geometry());
    Accessibility::setName(PanelPorzioni, QStringLiteral("Porzioni dell'alimento"));
    auto* grid = new QGridLayout(PanelPorzioni);
    grid->setContentsMargins(6, 4, 6, 4);
    auto* title = new QLabel(QStringLiteral("Porzioni in misure di casa (grammi di parte "
                                            "edibile), dalla più leggera"),
                             PanelPorzioni);
    title->setObjectName(QStringLiteral("LabelPorzioni"));
    grid->addWidget(title, 0, 0, 1, 2);
    GrigliaPorzioni = new QTableWidget(0, 2, PanelPorzioni);
    GrigliaPorzioni->setObjectName(QStringLiteral("GrigliaPorzioni"));
    GrigliaPorzioni->setHorizontalHeaderLabels(
        {QStringLiteral("Porzione"), QStringLiteral("Grammi")});
    GrigliaPorzioni->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    GrigliaPorzioni->setColumnWidth(1, 90);
    GrigliaPorzioni->verticalHeader()->setDefaultSectionSize(22);
    GrigliaPorzioni->verticalHeader()->hide();
    GrigliaPorzioni->setSelectionBehavior(QAbstractItemView::SelectRows);
    GrigliaPorzioni->setSelectionMode(QAbstractItemView::SingleSelection);
    GrigliaPorzioni->setFixedWidth(420);
    Accessibility::setName(GrigliaPorzioni, QStringLiteral("Porzioni dell'alimento"));
    title->setBuddy(GrigliaPorzioni);
    grid->addWidget(GrigliaPorzioni, 1, 0, 3, 1);
    AggiungiPorzione = new QPushButton(QStringLiteral("Aggiungi"), PanelPorzioni);
    AggiungiPorzione->setObjectName(QStringLiteral("AggiungiPorzione"));
    AggiungiPorzione->setAutoDefault(false);
    Accessibility::setName(AggiungiPorzione, QStringLiteral("Aggiungi una porzione"));
    TogliPorzione = new QPushButton(QStringLiteral("Togli"), PanelPorzioni);
    TogliPorzione->setObjectName(QStringLiteral("TogliPorzione"));
    TogliPorzione->setAutoDefault(false);
    Accessibility::setName(TogliPorzione, QStringLiteral("Togli la porzione scelta"));
    grid->addWidget(AggiungiPorzione, 1, 1, Qt::AlignTop);
    grid->addWidget(TogliPorzione, 2, 1, Qt::AlignTop);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);
    PanelPorzioni->hide();

    connect(GrigliaPorzioni, &QTableWidget::itemChanged, this, [this] {
        if (!fillingPortions_)
            runGuarded([&] { portionsEdited(); });
    });
    connect(AggiungiPorzione, &QPushButton::clicked, this,
            [this] { runGuarded([&] { addPortionRow(); }); });
    connect(TogliPorzione, &QPushButton::clicked, this,
            [this] { runGuarded([&] { removePortionRow(); }); });
    // The page follows the current food, and what another program writes, while shown.
    connect(dm_->DSAlimenti, &DataSource::currentChanged, this, [this] { fillPortions(); });
    connect(dm_->DSAlimenti, &DataSource::stateChanged, this, [this] {
        if (!dm_->alimenti->isEditing())
            portionsTyped_ = false;
        fillPortions();
    });
    connect(dm_, &TDM::dataRefreshed, this, [this] { fillPortions(); });
}

void TAlimpers::showPortions(bool on)
{
    if (btnporzioni->isChecked() != on)
        btnporzioni->setChecked(on); // comes back here through toggled
    if (on && btnnutrienti->isChecked())
        btnnutrienti->setChecked(false);
    if (on && btnricetta->isChecked())
        btnricetta->setChecked(false);
    showChartUnlessAPage();
    PanelPorzioni->setVisible(on);
    fillPortions();
}

namespace {

// Appends a row of the portion table: the name, then the grams as typed or stored.
void appendPortion(QTableWidget* table, const QString& name, const QString& grams)
{
    const int row = table->rowCount();
    table->insertRow(row);
    auto* nameItem = new QTableWidgetItem(name);
    nameItem->setData(Qt::AccessibleTextRole,
                      QStringLiteral("Nome della porzione %1").arg(row + 1));
    table->setItem(row, 0, nameItem);
    auto* gramsItem = new QTableWidgetItem(grams);
    gramsItem->setData(Qt::AccessibleTextRole,
                       QStringLiteral("Grammi della porzione %1").arg(row + 1));
    gramsItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table->setItem(row, 1, gramsItem);
}

} // namespace

void TAlimpers::fillPortions()
{
    if (!PanelPorzioni || PanelPorzioni->isHidden() || portionsTyped_)
        return;
    Dataset* foods = dm_->alimenti;
    TDM::Portions portions;
    if (!foods->isEmpty() && foods->state() != Dataset::State::Insert && foods->recNo() >= 0)
        portions = dm_->portionsOf(
            fieldValueText(foods->rowValue(foods->recNo(), dm_->alimentiAlimento->index())));
    fillingPortions_ = true;
    GrigliaPorzioni->setRowCount(0);
    for (const auto& [name, grams] : portions)
        appendPortion(GrigliaPorzioni, name, generalFloatText(grams));
    fillingPortions_ = false;
}

void TAlimpers::addPortionRow()
{
    fillingPortions_ = true;
    appendPortion(GrigliaPorzioni, QString(), QString());
    fillingPortions_ = false;
    portionsEdited();
    const int row = GrigliaPorzioni->rowCount() - 1;
    GrigliaPorzioni->setCurrentCell(row, 0);
    GrigliaPorzioni->editItem(GrigliaPorzioni->item(row, 0));
}

void TAlimpers::removePortionRow()
{
    const int row = GrigliaPorzioni->currentRow();
    if (row < 0)
        return;
    GrigliaPorzioni->removeRow(row);
    portionsEdited();
}

void TAlimpers::portionsEdited()
{
    Dataset* foods = dm_->alimenti;
    // Marked first: entering the edit state refills the page otherwise.
    portionsTyped_ = true;
    if (!foods->isEditing()) {
        if (foods->isEmpty())
            foods->insert();
        else
            foods->edit();
    }
    dm_->pendingPortions = typedPortions();
}

QList<QPair<QString, double>> TAlimpers::typedPortions() const
{
    TDM::Portions portions;
    for (int row = 0; row < GrigliaPorzioni->rowCount(); ++row) {
        const QTableWidgetItem* nameItem = GrigliaPorzioni->item(row, 0);
        const QTableWidgetItem* gramsItem = GrigliaPorzioni->item(row, 1);
        const QString name = nameItem ? nameItem->text().trimmed() : QString();
        const QString gramsText = gramsItem ? gramsItem->text().trimmed() : QString();
        if (name.isEmpty() && gramsText.isEmpty())
            continue;
        // The decimal comma, or the point.
        bool ok = false;
        double grams = QLocale(QLocale::Italian).toDouble(gramsText, &ok);
        if (!ok)
            grams = QLocale::c().toDouble(gramsText, &ok);
        portions.append({name, ok ? grams : std::numeric_limits<double>::quiet_NaN()});
    }
    return portions;
}

void TAlimpers::addIngredientRow(const QString& food, double grams)
{
    const int row = RicettaIngredienti->rowCount();
    RicettaIngredienti->insertRow(row);
    auto* chooser = new QComboBox(RicettaIngredienti);
    chooser->setObjectName(QStringLiteral("RicettaAlimento_%1").arg(row + 1));
    chooser->setEditable(true);
    chooser->setInsertPolicy(QComboBox::NoInsert);
    chooser->setAccessibleName(QStringLiteral("Alimento dell'ingrediente %1").arg(row + 1));
    Dataset* foods = dm_->alimenti;
    QStringList names;
    for (int i = 0; i < foods->recordCount(); ++i)
        names << fieldValueText(foods->rowValue(i, dm_->alimentiAlimento->index()));
    names.sort(Qt::CaseInsensitive);
    chooser->addItems(names);
    chooser->setCurrentText(food);
    connect(chooser, &QComboBox::editTextChanged, this, [this] { recipeEdited(); });
    RicettaIngredienti->setCellWidget(row, 0, chooser);
    auto* item = new QTableWidgetItem(grams > 0 ? generalFloatText(grams) : QString());
    item->setData(Qt::AccessibleTextRole,
                  QStringLiteral("Grammi dell'ingrediente %1").arg(row + 1));
    const QScopedValueRollback filling(fillingRecipe_, true);
    RicettaIngredienti->setItem(row, 1, item);
}

void TAlimpers::fillRecipe()
{
    if (!PanelRicetta)
        return;
    Dataset* foods = dm_->alimenti;
    QString name;
    if (!foods->isEmpty() && foods->state() != Dataset::State::Insert && foods->recNo() >= 0)
        name = fieldValueText(foods->rowValue(foods->recNo(), dm_->alimentiAlimento->index()));
    const RecipeBook& book = dm_->recipeBook();
    const Recipe* recipe = name.isEmpty() ? nullptr : book.find(name);
    // A recipe's five values are computed from its ingredients.
    for (DBEdit* edit : {DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7}) {
        edit->setReadOnly(recipe != nullptr);
        edit->setToolTip(recipe ? QStringLiteral("Calcolato dagli ingredienti della ricetta")
                                : QString());
    }
    // What the user typed for this food stays; for another food it has been settled (or
    // the food went away) and the page shows the food now current.
    const qint64 key = currentFoodKey();
    if (recipeTyped_ && key == recipeFoodKey_)
        return;
    recipeTyped_ = false;
    if (PanelRicetta->isHidden())
        return;
    const QScopedValueRollback filling(fillingRecipe_, true);
    recipeFoodKey_ = key;
    recipeFoodName_ = name;
    RicettaIngredienti->setRowCount(0);
    RicettaPesoCotto->clear();
    RicettaValori->clear();
    if (!recipe)
        return;
    for (const RecipeIngredient& i : recipe->ingredients)
        addIngredientRow(i.food, i.grams);
    if (recipe->cookedWeight)
        RicettaPesoCotto->setText(generalFloatText(*recipe->cookedWeight));
    QStringList lines{QStringLiteral("Per 100 g:")};
    const std::array<QString, FoodValues::MainCount> captions{
        QStringLiteral("Acqua"), QStringLiteral("Proteine"), QStringLiteral("Lipidi"),
        QStringLiteral("Carboidrati"), QStringLiteral("kcal")};
    const int row = foods->recNo();
    for (int i = 0; i < FoodValues::MainCount; ++i) {
        const QVariant v =
            foods->rowValue(row, foods->fieldByName(FoodValues::mainColumns()[i])->index());
        lines << QStringLiteral("%1: %2").arg(
            captions[i], v.isNull() ? QStringLiteral("n.d.") : generalFloatText(v.toDouble()));
    }
    RicettaValori->setText(lines.join(QLatin1Char('\n')));
}

bool TAlimpers::typedRecipe(const QString& name, Recipe* recipe)
{
    const auto number = [](const QString& text, bool* ok) {
        const QString t = text.trimmed();
        double d = QLocale(QLocale::Italian).toDouble(t, ok);
        if (!*ok)
            d = QLocale::c().toDouble(t, ok);
        return d;
    };
    const auto refuse = [](const QString& message) {
        UserServices::instance().mostramessaggio(message, MessageKind::Error, Buttons::Yes,
                                                 {QStringLiteral("Ok")}, AppTexts::dialogCaption());
        return false;
    };
    recipe->name = name;
    recipe->ingredients.clear();
    for (int row = 0; row < RicettaIngredienti->rowCount(); ++row) {
        const auto* chooser = qobject_cast<QComboBox*>(RicettaIngredienti->cellWidget(row, 0));
        const QString food = chooser ? chooser->currentText().trimmed() : QString();
        const QTableWidgetItem* item = RicettaIngredienti->item(row, 1);
        const QString gramsText = item ? item->text() : QString();
        if (food.isEmpty() && gramsText.trimmed().isEmpty())
            continue; // an empty row is left out
        bool ok = false;
        const double grams = number(gramsText, &ok);
        if (!ok)
            return refuse(QStringLiteral("I grammi dell'ingrediente %1 (\"%2\") non sono un "
                                         "numero")
                              .arg(row + 1)
                              .arg(gramsText));
        recipe->ingredients.append(RecipeIngredient{food, grams});
    }
    recipe->cookedWeight.reset();
    if (!RicettaPesoCotto->text().trimmed().isEmpty()) {
        bool ok = false;
        const double weight = number(RicettaPesoCotto->text(), &ok);
        if (!ok)
            return refuse(QStringLiteral("Il peso cotto (\"%1\") non è un numero")
                              .arg(RicettaPesoCotto->text()));
        recipe->cookedWeight = weight;
    }
    return true;
}

void TAlimpers::recipeEdited()
{
    if (!fillingRecipe_)
        recipeTyped_ = true;
}

qint64 TAlimpers::currentFoodKey() const
{
    const Dataset* foods = dm_->alimenti;
    if (foods->isEmpty() || foods->state() == Dataset::State::Insert || foods->recNo() < 0)
        return -1;
    return foods->storedKey(foods->storedRow(foods->recNo()));
}

bool TAlimpers::writeRecipe()
{
    Dataset* foods = dm_->alimenti;
    // The recipe takes the name in the food's field: the current food's, or a new one.
    const QString name = DBEdit1->text().trimmed();
    if (name.isEmpty()) {
        UserServices::instance().mostramessaggio(
            QStringLiteral("Scrivi il nome della ricetta nel campo Alimento"), MessageKind::Error,
            Buttons::Yes, {QStringLiteral("Ok")}, AppTexts::dialogCaption());
        return false;
    }
    Recipe recipe;
    if (!typedRecipe(name, &recipe))
        return false;
    try {
        dm_->saveRecipe(recipe);
    } catch (const DatabaseError& e) {
        UserServices::instance().mostramessaggio(e.message(), MessageKind::Error, Buttons::Yes,
                                                 {QStringLiteral("Ok")}, AppTexts::dialogCaption());
        return false;
    }
    recipeTyped_ = false;
    if (foods->isEditing())
        foods->cancel();
    return true;
}

void TAlimpers::btnsalvaricettaClick()
{
    Dataset* foods = dm_->alimenti;
    // The page writes only the recipe of the food whose ingredients it shows.
    if (currentFoodKey() != recipeFoodKey_) {
        const QString shown =
            recipeFoodKey_ < 0 ? QStringLiteral("un nuovo alimento") : recipeFoodName_;
        UserServices::instance().mostramessaggio(
            QStringLiteral("La pagina Ricetta mostrava gli ingredienti di \"%1\", non quelli "
                           "dell'alimento corrente \"%2\": la ricetta non è stata salvata. Ora "
                           "la pagina mostra l'alimento corrente.")
                .arg(shown, dm_->alimentiAlimento->asString()),
            MessageKind::Error, Buttons::Yes, {QStringLiteral("Ok")}, AppTexts::dialogCaption());
        recipeTyped_ = false;
        fillRecipe();
        return;
    }
    const QString name = DBEdit1->text().trimmed();
    if (!writeRecipe())
        return;
    // The window stays on the recipe just saved.
    foods->locate(QStringLiteral("Alimento"), {name});
    refreshFoodLists(false);
    fillRecipe();
}

bool TAlimpers::settleRecipe()
{
    if (!recipeTyped_ || askingRecipe_)
        return true;
    const QScopedValueRollback asking(askingRecipe_, true);
    QString name = DBEdit1->text().trimmed();
    if (name.isEmpty())
        name = recipeFoodName_;
    const int answer = UserServices::instance().mostramessaggio(
        QStringLiteral("Salvare la ricetta \"%1\"?").arg(name), MessageKind::Confirmation,
        Buttons::Yes + Buttons::No + Buttons::Cancel,
        {QStringLiteral("Sì"), QStringLiteral("No"), QStringLiteral("Annulla")},
        AppTexts::dialogCaption());
    if (answer == Result::No) {
        recipeTyped_ = false; // the page follows the food the window goes to
        return true;
    }
    if (answer != Result::Yes || !writeRecipe())
        return false;
    refreshFoodLists(false);
    return true;
}

void TAlimpers::fillNutrients()
{
    // The panels are read only once the page is first shown.
    if (!PanelNutrienti || PanelNutrienti->isHidden())
        return;
    fillGroup();
    Dataset* foods = dm_->alimenti;
    QString name;
    if (!foods->isEmpty() && foods->state() != Dataset::State::Insert && foods->recNo() >= 0)
        name = fieldValueText(foods->rowValue(foods->recNo(), dm_->alimentiAlimento->index()));
    // A recipe's panel is computed from its ingredients.
    const bool recipe = !name.isEmpty() && dm_->recipeBook().find(name);
    for (QLineEdit* edit : nutrientEdits) {
        edit->setReadOnly(recipe);
        edit->setToolTip(recipe ? QStringLiteral("Calcolato dagli ingredienti della ricetta")
                                : QString());
    }
    NutrientiFonte->setReadOnly(recipe);
    NutrientiFonte->setToolTip(nutrientEdits.constFirst()->toolTip());
    if (nutrientsTyped_)
        return;
    const FoodPanel* panel = name.isEmpty() ? nullptr : dm_->foodPanels().find(name);
    for (int i = 0; i < NutrientPanel::Count; ++i) {
        const std::optional<double> v = panel ? panel->values[i] : std::nullopt;
        nutrientEdits.at(i)->setText(v ? generalFloatText(*v) : QString());
    }
    NutrientiFonte->setText(panel ? panel->source : QString());
}

void TAlimpers::fillGroup()
{
    if (groupTyped_)
        return;
    // First the empty entry: no group.
    const QStringList names = QStringList{QString()} + dm_->groupNames();
    QStringList shown;
    for (int i = 0; i < NutrientiGruppo->count(); ++i)
        shown << NutrientiGruppo->itemText(i);
    if (shown != names) {
        NutrientiGruppo->clear();
        NutrientiGruppo->addItems(names);
    }
    Dataset* foods = dm_->alimenti;
    QString group;
    if (!foods->isEmpty() && foods->state() != Dataset::State::Insert)
        group = dm_->groupOf(
            fieldValueText(foods->rowValue(foods->recNo(), dm_->alimentiAlimento->index())));
    NutrientiGruppo->setCurrentIndex(NutrientiGruppo->findText(group));
    NutrientiGruppo->setEditText(group);
}

void TAlimpers::groupEdited()
{
    Dataset* foods = dm_->alimenti;
    // Marked first, as for the nutrients; the group is posted with the food.
    groupTyped_ = true;
    const QString group = NutrientiGruppo->currentText();
    if (!foods->isEditing()) {
        if (foods->isEmpty())
            foods->insert();
        else
            foods->edit();
    }
    dm_->pendingGroup = group.trimmed();
}

void TAlimpers::nutrientEdited()
{
    Dataset* foods = dm_->alimenti;
    // Marked first: entering the edit state refills the page otherwise.
    nutrientsTyped_ = true;
    if (!foods->isEditing()) {
        if (foods->isEmpty())
            foods->insert();
        else
            foods->edit();
    }
}

bool TAlimpers::typedPanel(FoodPanel* panel)
{
    const TableSchema& table = TableSchema::nutrienti();
    QVector<QVariant> row(table.columns.size());
    row[1] = RecordStore::normalise(table.columns.at(1), NutrientiFonte->text().trimmed());
    for (int i = 0; i < NutrientPanel::Count; ++i)
        row[2 + i] = RecordStore::normalise(table.columns.at(2 + i), nutrientEdits.at(i)->text());
    try {
        RecordStore::validateRow(table, row);
        FieldRanges::check(table, row);
    } catch (const DatabaseError& e) {
        UserServices::instance().mostramessaggio(e.message(), MessageKind::Error, Buttons::Yes,
                                                 {QStringLiteral("Ok")}, AppTexts::dialogCaption());
        return false;
    }
    *panel = FoodPanel::fromRow(row);
    // Values typed for a food with no source are the dietitian's own.
    if (panel->source.isEmpty() && !panel->isEmpty())
        panel->source = QStringLiteral("manuale");
    return true;
}

void TAlimpers::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        if (planner_)
            planner_->foodWindowOpened();
        FormShow();
    }
}

void TAlimpers::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The top bar spans the window; its layout keeps Exit at the right edge.
    Panel2->setGeometry(0, 0, width(), 41);
}

// --- Commands

namespace {

// "una persona" or "3 persone" (with `other`: "un'altra persona", "3 altre persone").
QString peopleCount(int n, bool other = false)
{
    if (n == 1)
        return other ? QStringLiteral("un'altra persona") : QStringLiteral("una persona");
    return other ? QStringLiteral("%1 altre persone").arg(n) : QStringLiteral("%1 persone").arg(n);
}

} // namespace

void TAlimpers::FormShow()
{
    runGuarded([&] { dm_->alimenti->first(); });
}

void TAlimpers::downClick()
{
    runGuarded([&] { dm_->alimenti->prior(); });
}

void TAlimpers::upClick()
{
    runGuarded([&] { dm_->alimenti->next(); });
}

void TAlimpers::btnnuovoClick()
{
    runGuarded([&] { dm_->alimenti->insert(); });
}

void TAlimpers::btnannullaClick()
{
    runGuarded([&] {
        nutrientsTyped_ = false;
        portionsTyped_ = false;
        recipeTyped_ = false;
        dm_->alimenti->cancel();
        fillNutrients();
        fillPortions();
        fillRecipe();
    });
}

void TAlimpers::LabeledEdit1Change()
{
    runGuarded([&] {
        const QString text = LabeledEdit1->text();
        Dataset* foods = dm_->alimenti;
        if (foods->locate(QStringLiteral("Alimento"), {text}, Dataset::Prefix))
            return;
        // No name begins with the text: the first food that holds its words, in any order.
        const QStringList words = WordSearch::words(text);
        const int nameField = dm_->alimentiAlimento->index();
        for (int row = 0; !words.isEmpty() && row < foods->recordCount(); ++row) {
            if (WordSearch::matches(WordSearch::fold(foods->rowValue(row, nameField).toString()),
                                    words)) {
                foods->moveTo(row);
                return;
            }
        }
    });
}

void TAlimpers::btnsalvaClick()
{
    runGuarded([&] {
        Dataset* foods = dm_->alimenti;
        // The recipe page's edits first: saved (which ends the food's editing), dropped, or
        // the save stops.
        if (!settleRecipe())
            return;
        if (!foods->isEditing())
            return;
        // A new name goes into every stored week that names the food: the user is told
        // how many people's weeks that is before anything is written.
        foods->updateRecord();
        if (foods->state() == Dataset::State::Edit && foods->recNo() >= 0) {
            const QString before =
                fieldValueText(foods->rowValue(foods->recNo(), dm_->alimentiAlimento->index()));
            const QString after = dm_->alimentiAlimento->asString();
            const int people =
                before == after || after.isEmpty() ? 0 : dm_->peopleUsingFood(before);
            if (people > 0) {
                const int answer = UserServices::instance().mostramessaggio(
                    QStringLiteral("L'alimento \"%1\" è usato nella dieta di %2: salvando, "
                                   "anche lì diventa \"%3\".\rSalvare?")
                        .arg(before, peopleCount(people), after),
                    MessageKind::Confirmation, Buttons::Yes + Buttons::Cancel,
                    {QStringLiteral("Si"), QStringLiteral("Annulla")}, AppTexts::dialogCaption());
                if (answer != Result::Yes)
                    return;
            }
        }
        if (nutrientsTyped_) {
            FoodPanel panel;
            if (!typedPanel(&panel))
                return; // nothing written; the page keeps what was typed
            dm_->pendingPanel = panel;
        }
        if (portionsTyped_)
            dm_->pendingPortions = typedPortions(); // a refused post has dropped them
        // A refused post has already been reported and stops the command here.
        foods->post();
        nutrientsTyped_ = false;
        groupTyped_ = false;
        portionsTyped_ = false;
        refreshFoodLists();
        // The group and portion tables are read again only once the food's transaction is
        // over.
        fillNutrients();
        fillPortions();
    });
}

void TAlimpers::btndeleteClick()
{
    runGuarded([&] {
        Dataset* foods = dm_->alimenti;
        const QString name = dm_->alimentiAlimento->asString();
        // A food that recipes use is not deleted: said before asking.
        if (foods->state() != Dataset::State::Insert) {
            if (const QString refusal = dm_->deleteRefusal(name); !refusal.isEmpty()) {
                UserServices::instance().mostramessaggio(refusal, MessageKind::Error, Buttons::Yes,
                                                         {QStringLiteral("Ok")},
                                                         AppTexts::dialogCaption());
                return;
            }
        }
        // The current person's rows of the food go with it; other people's weeks keep the
        // name, which they are told of before the question.
        bool ok = false;
        const qint64 current = dm_->utente->isEmpty() ? -1 : dm_->utenteID->value().toLongLong(&ok);
        const int others = foods->state() == Dataset::State::Insert
                               ? 0
                               : dm_->peopleUsingFood(name, ok ? current : -1);
        const QString warning =
            others == 0 ? QString()
                        : QStringLiteral("L'alimento è usato nella dieta di %1, che lo "
                                         "conserverà come alimento non presente in archivio.\r")
                              .arg(peopleCount(others, true));
        const int answer = UserServices::instance().mostramessaggio(
            warning + QStringLiteral("Vuoi cancellare l'alimento ") + name + QStringLiteral(" ?"),
            MessageKind::Confirmation, Buttons::Yes + Buttons::No + Buttons::Cancel,
            {QStringLiteral("Si"), QStringLiteral("No"), QStringLiteral("Annulla")},
            AppTexts::dialogCaption());
        if (answer != Result::Yes)
            return;
        if (foods->isEmpty() && !foods->isEditing())
            throw AppError(QStringLiteral("Cannot perform this operation on an empty dataset"));
        // The current person's menu rows that name the food, letter case included. A
        // nameless (or not yet written) food is named by no menu row: the empty slots'
        // rows stay.
        if (!name.isEmpty() && foods->state() != Dataset::State::Insert) {
            Dataset* menu = dm_->Dieta;
            menu->first();
            while (!menu->eof()) {
                if (dm_->DietaAlimento->asString() == name)
                    menu->deleteRecord(); // the following row becomes current
                else
                    menu->next();
            }
        }
        foods->deleteRecord();
        refreshFoodLists();
        UserServices::instance().plainMessage(QStringLiteral("Alimento cancellato"));
    });
}

void TAlimpers::refreshFoodLists(bool moveToLastFood)
{
    DetachedWork detached(dm_->DSAlimenti);
    if (planner_)
        planner_->caricaalimenti();
    // After the toolbar's save or delete the rebuild is a scan of the food table, which
    // leaves its last food current; the window shows that food when the binding point
    // comes back.
    Dataset* foods = dm_->alimenti;
    if (moveToLastFood && !foods->isEmpty())
        foods->moveTo(foods->recordCount() - 1);
}

void TAlimpers::leave()
{
    nutrientsTyped_ = false;
    portionsTyped_ = false;
    recipeTyped_ = false;
    if (dm_->alimenti->isEditing())
        dm_->alimenti->cancel();
    if (planner_)
        planner_->foodWindowClosed();
}

void TAlimpers::LMDButton8Click()
{
    runGuarded([&] {
        if (!settleRecipe())
            return;
        leave();
        QDialog::reject();
    });
}

void TAlimpers::reject()
{
    // Closed by the frame: the same steps as Exit, and the window closes even when
    // reloading the week failed (that failure has been reported); it stays open only when
    // the user keeps the recipe page's unsaved edits.
    bool stay = false;
    runGuarded([&] { stay = !settleRecipe(); });
    if (stay)
        return;
    runGuarded([&] { leave(); });
    QDialog::reject();
}
