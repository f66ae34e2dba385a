#include "TForm1.h"

#include "Recipes.h"

#include "Accessibility.h"
#include "AppError.h"
#include "AppTexts.h"
#include "ContextHelp.h"
#include "DBLabel.h"
#include "Dataset.h"
#include "DietReport.h"
#include "HelpContext.h"
#include "ItalianText.h"
#include "ListaSpesa.h"
#include "PlanBook.h"
#include "QuickCommands.h"
#include "TAlimpers.h"
#include "TDM.h"
#include "TModelli.h"
#include "TRiepilogo.h"
#include "TVisite.h"
#include "Tutenti.h"
#include "UserServices.h"
#include "WeekRecovery.h"
#include "WeeklyPlanner.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

TForm1* Form1 = nullptr;

namespace {

const QColor toolbarColour(185, 209, 234); // the desktop's gradient active caption
const QColor panelColour(166, 202, 240);   // sky blue

// The window's font, with a metric look-alike where the original face is missing.
QFont windowFont()
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"),
                                    QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    return font;
}

// A button with a picture; `action` is its name for a screen reader when it shows no caption.
QToolButton* pictureButton(QWidget* parent, const QString& name, const QString& picture,
                           const QString& tooltip, int context, bool hand,
                           const QString& action = QString())
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(QIcon(QStringLiteral(":/pictures/%1.png").arg(picture)));
    button->setIconSize(QSize(28, 28));
    button->setFixedSize(32, 32);
    button->setAutoRaise(true);
    button->setToolTip(tooltip);
    button->setFocusPolicy(Qt::NoFocus);
    if (context)
        HelpContext::set(button, context);
    if (hand)
        button->setCursor(Qt::PointingHandCursor);
    if (!action.isEmpty())
        Accessibility::setName(button, action);
    return button;
}

// The shopping list's button picture: a basket with two handles, drawn like the other
// toolbar pictures (128 × 128 scaled to the button).
QIcon shoppingIcon()
{
    QPixmap canvas(128, 128);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x5d, 0x40, 0x37), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(30, 14, 68, 70), 0, 180 * 16);
    p.setBrush(QColor(0xfb, 0x8c, 0x00));
    p.setPen(QPen(QColor(0xe6, 0x51, 0x00), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolygon(
        QPolygonF({QPointF(10, 50), QPointF(118, 50), QPointF(102, 116), QPointF(26, 116)}));
    p.setPen(QPen(QColor(0xe6, 0x51, 0x00), 5));
    for (const qreal x : {44.0, 64.0, 84.0})
        p.drawLine(QPointF(x, 62), QPointF(x, 104));
    p.end();
    return QIcon(canvas.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

QToolButton* captionButton(QWidget* parent, const QString& name, const QString& picture,
                           const QString& caption, const QString& tooltip, int context)
{
    QToolButton* button = pictureButton(parent, name, picture, tooltip, context, true);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIconSize(QSize(24, 24));
    button->setFixedSize(113, 32);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Qt::blue);
    palette.setColor(QPalette::WindowText, Qt::blue);
    button->setPalette(palette);
    return button;
}

// Every handler runs guarded: a failure goes to the general error report.
template <typename Handler> auto guarded(Handler handler)
{
    return [handler] { runGuarded(handler); };
}

} // namespace

TForm1::TForm1(TDM* dm, QWidget* parent) : QWidget(parent, Qt::Window), dm_(dm)
{
    // A plain widget would present to a screen reader as an anonymous container: the
    // window is a frame.
    Accessibility::install();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(AppTexts::dialogCaption());
    setFont(windowFont());
    HelpContext::set(this, 1);
    resize(705, 605);
    endApplication = [] { QCoreApplication::quit(); };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolbar();
    layout->addWidget(Panel1);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    buildPersonPanel(this);
    body->addWidget(LMDScrollBox8);
    buildPages();
    // Above the pages: the line that says the shown week was changed elsewhere.
    auto* pages = new QVBoxLayout;
    pages->setContentsMargins(0, 0, 0, 0);
    pages->setSpacing(0);
    avvisoDieta = new QLabel(this);
    avvisoDieta->setObjectName(QStringLiteral("avvisoDieta"));
    avvisoDieta->setAccessibleName(QStringLiteral("Avviso sulla dieta"));
    avvisoDieta->setWordWrap(true);
    avvisoDieta->setMargin(4);
    avvisoDieta->setStyleSheet(QStringLiteral("background: #fff3b0; color: #3a3000;"));
    avvisoDieta->hide();
    pages->addWidget(avvisoDieta);
    pages->addWidget(PageControl1, 1);
    body->addLayout(pages, 1);
    layout->addLayout(body, 1);

    PlannerFrame frame;
    frame.notice = avvisoDieta;
    frame.PageControl1 = PageControl1;
    frame.salva = salva;
    frame.dbnome = dbnome;
    frame.Image1 = Image1;
    planner_ = new WeeklyPlanner(frame, dm_, this);
    planner_->setObjectName(QStringLiteral("planner"));
    planBook_ = new PlanBook(planner_, dm_, dbpiano, this);

    // The person chooser is entered when the focus moves into it from another control of
    // this window, by mouse or keyboard. The focus that comes back to it when the window is
    // activated again, or when a popup or a modal window closes, does not enter it: the
    // question it asks would otherwise come back each time it is answered "Annulla".
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const auto inChooser = [this](QWidget* w) {
            return w && (w == dbnome || dbnome->isAncestorOf(w));
        };
        if (inChooser(now) && old && !inChooser(old) && old->window() == this)
            runGuarded([this] { dbnomeEnter(); });
    });

    new QuickCommands(this, dm_);
}

TForm1::~TForm1()
{
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::setRecordWindows(Tutenti* users, TAlimpers* foods)
{
    users_ = users;
    foods_ = foods;
}

void TForm1::buildToolbar()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(41);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, toolbarColour);
    palette.setColor(QPalette::Button, toolbarColour);
    Panel1->setPalette(palette);
    HelpContext::set(Panel1, 550);

    btnUtenti = captionButton(Panel1, QStringLiteral("btnUtenti"), QStringLiteral("utenti"),
                              QStringLiteral("Utenti"),
                              QStringLiteral("Gestione e inserimento utenti. \n"), 11);
    btnAlimenti =
        captionButton(Panel1, QStringLiteral("btnAlimenti"), QStringLiteral("alimenti"),
                      QStringLiteral("Alimenti"), QStringLiteral("Gestione alimenti"), 12);
    salva = pictureButton(Panel1, QStringLiteral("salva"), QStringLiteral("salva"),
                          QStringLiteral("Memorizza utente"), 13, true,
                          QStringLiteral("Salva la dieta"));
    QIcon saveIcon;
    saveIcon.addPixmap(QPixmap(QStringLiteral(":/pictures/salva.png")), QIcon::Normal);
    saveIcon.addPixmap(QPixmap(QStringLiteral(":/pictures/salva_disabled.png")), QIcon::Disabled);
    salva->setIcon(saveIcon);
    salva->setEnabled(false);
    stamp =
        pictureButton(Panel1, QStringLiteral("stamp"), QStringLiteral("stampa"),
                      QStringLiteral("Stampa dieta"), 14, false, QStringLiteral("Stampa la dieta"));
    riepilogo = pictureButton(Panel1, QStringLiteral("riepilogo"), QStringLiteral("riepilogo"),
                              QStringLiteral("Riepilogo nutrizionale della settimana"), 64, false,
                              QStringLiteral("Riepilogo nutrizionale della settimana"));
    listaSpesa = pictureButton(Panel1, QStringLiteral("listaSpesa"), QString(),
                               QStringLiteral("Lista della spesa della settimana (Alt+L)"), 63,
                               false, QStringLiteral("Lista della spesa"));
    listaSpesa->setIcon(shoppingIcon());
    btnTotale = new QToolButton(Panel1);
    btnTotale->setObjectName(QStringLiteral("btnTotale"));
    btnTotale->setText(QStringLiteral("TotCalorie"));
    btnTotale->setToolTip(QStringLiteral("Calorie totali"));
    HelpContext::set(btnTotale, 26);
    btnTotale->setVisible(false);
    HELP =
        pictureButton(Panel1, QStringLiteral("HELP"), QStringLiteral("help"),
                      QStringLiteral("Guida in linea"), 0, false, QStringLiteral("Guida in linea"));
    info = pictureButton(Panel1, QStringLiteral("info"), QStringLiteral("info"),
                         QStringLiteral("Informazioni utili."), 3, false,
                         QStringLiteral("Informazioni utili sul sito di Nutrilo"));
    esci = pictureButton(Panel1, QStringLiteral("esci"), QStringLiteral("esci"),
                         QStringLiteral("Esci"), 7, true, QStringLiteral("Esci"));

    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(4, 3, 6, 3);
    // Tight enough that the window still narrows to 560 px with every button shown.
    row->setSpacing(3);
    row->addWidget(btnUtenti);
    row->addWidget(btnAlimenti);
    row->addSpacing(4);
    row->addWidget(salva);
    row->addWidget(stamp);
    row->addWidget(riepilogo);
    row->addWidget(listaSpesa);
    row->addWidget(btnTotale);
    // The plans over time: the week kept as a dated plan and the next one started.
    nuovoPiano = pictureButton(Panel1, QStringLiteral("nuovoPiano"), QStringLiteral("nuovo"),
                               QStringLiteral("Nuovo piano: conserva la settimana come piano "
                                              "datato e inizia il nuovo piano (Ctrl+N)"),
                               0, true, PlanBook::newPlanCaption());
    row->addWidget(nuovoPiano);
    row->addStretch(1);
    // These three keep to the right edge.
    row->addWidget(HELP);
    row->addWidget(info);
    row->addWidget(esci);

    connect(btnUtenti, &QToolButton::clicked, this, guarded([this] { btnUtentiClick(); }));
    connect(btnAlimenti, &QToolButton::clicked, this, guarded([this] { btnAlimentiClick(); }));
    connect(salva, &QToolButton::clicked, this, guarded([this] { salvaClick(); }));
    connect(stamp, &QToolButton::clicked, this, guarded([this] { stampClick(); }));
    connect(riepilogo, &QToolButton::clicked, this, guarded([this] { riepilogoClick(); }));
    connect(listaSpesa, &QToolButton::clicked, this, guarded([this] { listaSpesaClick(); }));
    connect(btnTotale, &QToolButton::clicked, this, guarded([this] { btnTotaleClick(); }));
    connect(HELP, &QToolButton::clicked, this, guarded([this] { HELPClick(); }));
    connect(info, &QToolButton::clicked, this, guarded([this] { infoClick(); }));
    connect(esci, &QToolButton::clicked, this, guarded([this] { esciClick(); }));
    connect(nuovoPiano, &QToolButton::clicked, this, guarded([this] { nuovoPianoClick(); }));
    auto* newPlanKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), this);
    newPlanKey->setObjectName(QStringLiteral("shortcutNuovoPiano"));
    newPlanKey->setContext(Qt::WindowShortcut);
    connect(newPlanKey, &QShortcut::activated, this, guarded([this] { nuovoPianoClick(); }));
    auto* shoppingKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_L), this);
    shoppingKey->setObjectName(QStringLiteral("shortcutListaSpesa"));
    shoppingKey->setContext(Qt::WindowShortcut);
    connect(shoppingKey, &QShortcut::activated, this, guarded([this] { listaSpesaClick(); }));
}

void TForm1::buildPersonPanel(QWidget* parent)
{
    LMDScrollBox8 = new QScrollArea(parent);
    LMDScrollBox8->setObjectName(QStringLiteral("LMDScrollBox8"));
    Accessibility::setName(LMDScrollBox8, QStringLiteral("Dati della persona"));
    LMDScrollBox8->setFixedWidth(209);
    LMDScrollBox8->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    LMDScrollBox8->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    LMDScrollBox8->setWidgetResizable(true);
    HelpContext::set(LMDScrollBox8, 5);
    QPalette palette = LMDScrollBox8->palette();
    palette.setColor(QPalette::Window, panelColour);
    LMDScrollBox8->setPalette(palette);
    LMDScrollBox8->setBackgroundRole(QPalette::Window);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("personPanel"));
    content->setAutoFillBackground(true);
    content->setPalette(palette);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(8, 6, 6, 6);
    column->setSpacing(3);

    auto caption = [content](const QString& name, const QString& text, bool bold = false) {
        auto* label = new QLabel(text, content);
        label->setObjectName(name);
        if (bold) {
            QFont font = label->font();
            font.setBold(true);
            label->setFont(font);
        }
        return label;
    };

    QLabel* photoCaption = caption(QStringLiteral("capfoto"), QStringLiteral("Foto inizio dieta"));
    column->addWidget(photoCaption);
    Image1 = new QLabel(content);
    Image1->setObjectName(QStringLiteral("Image1"));
    Accessibility::setName(Image1, photoCaption->text());
    photoCaption->setBuddy(Image1);
    Image1->setFixedSize(169, 145);
    Image1->setScaledContents(true);
    Image1->setFrameStyle(QFrame::Box | QFrame::Plain);
    column->addWidget(Image1);
    column->addSpacing(4);

    QLabel* nameCaption =
        caption(QStringLiteral("capnome"), QStringLiteral("Nome e Cognome"), true);
    column->addWidget(nameCaption);
    dbnome = new QComboBox(content);
    dbnome->setObjectName(QStringLiteral("dbnome"));
    dbnome->setEditable(true);
    Accessibility::setName(dbnome, nameCaption->text());
    nameCaption->setBuddy(dbnome);
    dbnome->setInsertPolicy(QComboBox::NoInsert);
    dbnome->setFixedWidth(161);
    HelpContext::set(dbnome, 2);
    connect(dbnome, &QComboBox::activated, this, guarded([this] { dbnomeSelect(); }));
    column->addWidget(dbnome);
    // The person's visits, beside the chooser (Alt+V from anywhere in the window).
    btnVisite = new QToolButton(content);
    btnVisite->setObjectName(QStringLiteral("btnVisite"));
    btnVisite->setText(QStringLiteral("Visite"));
    btnVisite->setToolTip(QStringLiteral("Le visite della persona: misure e andamento (Alt+V)"));
    btnVisite->setCursor(Qt::PointingHandCursor);
    btnVisite->setFixedWidth(161);
    HelpContext::set(btnVisite, 60);
    Accessibility::setName(btnVisite, QStringLiteral("Visite della persona"));
    connect(btnVisite, &QToolButton::clicked, this, guarded([this] { btnVisiteClick(); }));
    column->addWidget(btnVisite);
    auto* visitsKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_V), this);
    visitsKey->setObjectName(QStringLiteral("shortcutVisite"));
    visitsKey->setContext(Qt::WindowShortcut);
    connect(visitsKey, &QShortcut::activated, this, guarded([this] { btnVisiteClick(); }));
    QLabel* planCaption = caption(QStringLiteral("cappiano"), QStringLiteral("Piano"), true);
    column->addWidget(planCaption);
    dbpiano = new PlanChooser(content);
    dbpiano->setObjectName(QStringLiteral("dbpiano"));
    Accessibility::setName(dbpiano, QStringLiteral("Piani della persona"));
    planCaption->setBuddy(dbpiano);
    dbpiano->setFixedWidth(161);
    HelpContext::set(dbpiano, 61);
    dbpiano->setToolTip(QStringLiteral("I piani della persona per data: uno scelto va nella "
                                       "settimana come modifica da salvare"));
    column->addWidget(dbpiano);
    modelli = new QToolButton(content);
    modelli->setObjectName(QStringLiteral("modelli"));
    modelli->setText(QStringLiteral("Modelli…"));
    Accessibility::setName(modelli, QStringLiteral("Modelli di piano"));
    modelli->setToolTip(QStringLiteral("Modelli di piano: crea, applica, rinomina, elimina"));
    modelli->setFixedWidth(161);
    modelli->setCursor(Qt::PointingHandCursor);
    connect(modelli, &QToolButton::clicked, this, guarded([this] { modelliClick(); }));
    column->addWidget(modelli);
    column->addSpacing(4);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->setColumnStretch(1, 1);
    column->addLayout(grid);

    auto value = [this, content](const QString& field) {
        auto* label = new DBLabel(content);
        QString name = field;
        name.remove(QLatin1Char('%'));
        label->setObjectName(QStringLiteral("lbl") + name);
        label->setDataSource(dm_->DSUtente, field);
        label->setMinimumWidth(24);
        personLabels_.insert(field, label);
        return label;
    };

    struct Row {
        const char* field;
        QString text;
    };
    const QList<Row> rows = {
        {"eta", QStringLiteral("Età")},
        {"peso", QStringLiteral("Peso (kg)")},
        {"altezza", QStringLiteral("Altezza (cm)")},
        {"sesso", QStringLiteral("Sesso")},
        {"corporatura", QStringLiteral("Corporatura")},
        {"attivita", QStringLiteral("Attività")},
        {"girovita", QStringLiteral("Girovita (cm)")},
        {"pesodes", QStringLiteral("Peso desid.")},
        {"sport", QStringLiteral("Sport")},
        {"caloriesport", QStringLiteral("Calorie sport")},
        {"fabbenerg", QStringLiteral("Fabb. Energ. Kcal")},
        {"pesoidea", QStringLiteral("Peso Ideale")},
        {"BMI", QStringLiteral("BMI")},
        {"%massagrassa", QStringLiteral("% Massa grassa")},
        {"razzterr", QStringLiteral("Razione ter.")},
    };
    int line = 0;
    for (const Row& row : rows) {
        const QString field = QString::fromLatin1(row.field);
        QString name = field;
        name.remove(QLatin1Char('%'));
        QLabel* rowCaption = caption(QStringLiteral("cap") + name, row.text);
        grid->addWidget(rowCaption, line, 0);
        if (field == QLatin1String("pesodes")) {
            // "Peso desid." 70 in 90 giorni
            auto* same = new QHBoxLayout;
            same->setSpacing(3);
            same->addWidget(value(field));
            QLabel* in = caption(QStringLiteral("capin"), QStringLiteral("in "));
            same->addWidget(in);
            same->addWidget(value(QStringLiteral("giorni")));
            in->setBuddy(personLabels_.value(QStringLiteral("giorni")));
            same->addWidget(caption(QStringLiteral("capgiorni"), QStringLiteral("giorni")));
            same->addStretch(1);
            grid->addLayout(same, line, 1);
        } else if (field == QLatin1String("sport")) {
            // "Sport" nuoto Ore 3
            auto* same = new QHBoxLayout;
            same->setSpacing(3);
            same->addWidget(value(field));
            QLabel* hours = caption(QStringLiteral("capore"), QStringLiteral("Ore"));
            same->addWidget(hours);
            same->addWidget(value(QStringLiteral("ore")));
            hours->setBuddy(personLabels_.value(QStringLiteral("ore")));
            same->addStretch(1);
            grid->addLayout(same, line, 1);
        } else {
            grid->addWidget(value(field), line, 1);
        }
        // The caption is read with the value it stands beside.
        rowCaption->setBuddy(personLabels_.value(field));
        ++line;
    }
    column->addStretch(1);
    LMDScrollBox8->setWidget(content);
}

void TForm1::buildPages()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    Accessibility::setName(PageControl1, QStringLiteral("Giorni della settimana"));
    HelpContext::set(PageControl1, 27);
    // Every tab stays reachable when the window is narrow.
    PageControl1->setUsesScrollButtons(true);
    PageControl1->setElideMode(Qt::ElideNone);
    const QStringList days = {QStringLiteral("Lunedi"),    QStringLiteral("Martedì"),
                              QStringLiteral("Mercoledì"), QStringLiteral("Giovedì"),
                              QStringLiteral("Venerdì"),   QStringLiteral("Sabato"),
                              QStringLiteral("Domenica")};
    QWidget** pages[] = {&TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4,
                         &TabSheet5, &TabSheet6, &TabSheet7};
    for (int i = 0; i < 7; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        PageControl1->addTab(page, days.at(i));
        *pages[i] = page;
    }
    HelpContext::set(TabSheet1, 28);
    PageControl1->setCurrentIndex(0);
}

// --- Handlers

void TForm1::FormShow()
{
    planner_->FormShow();
}

void TForm1::btnVisiteClick()
{
    if (dm_->utente->isEmpty())
        return;
    TVisite visits(dm_, this);
    visits.exec();
}

void TForm1::btnUtentiClick()
{
    if (!users_)
        return;
    users_->exec();
    planner_->userWindowClosed();
}

void TForm1::btnAlimentiClick()
{
    if (foods_)
        foods_->exec();
}

void TForm1::salvaClick()
{
    planner_->salvaClick();
}

void TForm1::stampClick()
{
    DietReport::stampClick(*planner_, *dm_, this);
}

void TForm1::nuovoPianoClick()
{
    planBook_->nuovoPianoClick();
}

TModelli* TForm1::modelliWindow()
{
    if (!modelli_)
        modelli_ = new TModelli(dm_, planner_, planBook_, this);
    return modelli_;
}

void TForm1::modelliClick()
{
    TModelli* window = modelliWindow();
    window->fill(window->chosen());
    window->show();
    window->raise();
    window->activateWindow();
}

void TForm1::riepilogoClick()
{
    TRiepilogo::riepilogoClick(*planner_, *dm_, this);
}

void TForm1::listaSpesaClick()
{
    // A recipe is bought as its ingredients, each in grams per 100 g of the dish; a food
    // is listed under its group.
    const ShoppingList::Ingredients ingredients =
        recipeIngredients ? recipeIngredients : [this](const QString& food) {
            QList<QPair<QString, double>> out;
            if (const Recipe* recipe = dm_->recipeBook().find(food); recipe && recipe->weight() > 0)
                for (const RecipeIngredient& i : recipe->ingredients)
                    out << qMakePair(i.food, i.grams * 100 / recipe->weight());
            return out;
        };
    const ShoppingList::FoodGroup group =
        foodGroup ? foodGroup : [this](const QString& food) { return dm_->groupOf(food); };
    ListaSpesa::listaSpesaClick(*planner_, *dm_, this, ingredients, group);
}

void TForm1::infoClick()
{
    UserServices::instance().openUrl(productPage());
}

void TForm1::HELPClick()
{
    QWhatsThis::enterWhatsThisMode();
}

void TForm1::esciClick()
{
    const int answer = askBeforeEnding();
    if (answer == 0 || answer == 1)
        finishEnding();
    // 2: cancelled, the window stays as it was.
}

int TForm1::askBeforeEnding()
{
    try {
        return chiedisalvataggio();
    } catch (const ConnectionLostError& e) {
        // Neither answer may lose the week: kept in a file, or the window stays open.
        return keepInRecoveryFile(e.message()) ? 1 : 2;
    }
}

bool TForm1::keepInRecoveryFile(const QString& why)
{
    UserServices& services = UserServices::instance();
    const QVariant shown = planner_->shownPerson();
    if (shown.isNull())
        throw AppError(why);
    const QString name = dm_->utenteNome->asString();
    const QString folder = QDir::currentPath();
    const QString file = WeekRecovery::fileName(shown.toLongLong());
    const int answer = services.mostramessaggio(
        withFinalFullStop(why) + QLatin1Char('\r') + QLatin1Char('\r') +
            QStringLiteral("La dieta di '%1' si può conservare nel file di recupero '%2' di "
                           "questa cartella (%3): al prossimo avvio il programma proporrà di "
                           "rimetterla nella griglia. Con \"Annulla\" la finestra resta aperta "
                           "con la dieta com'è.")
                .arg(name, file, QDir::toNativeSeparators(folder)),
        MessageKind::Warning, Buttons::Yes + Buttons::Cancel,
        {QStringLiteral("Salva in un file"), QStringLiteral("Annulla")}, AppTexts::dialogCaption());
    if (answer != Result::Yes)
        return false;
    WeekRecovery::Week week;
    week.person = shown.toLongLong();
    week.name = name;
    week.kept = QDateTime::currentDateTime();
    week.slotTexts = planner_->displayedWeek();
    try {
        WeekRecovery::write(folder, week);
    } catch (const AppError& e) {
        services.mostramessaggio(withFinalFullStop(e.message()) + QLatin1Char('\r') +
                                     QStringLiteral("La finestra resta aperta con la dieta com'è."),
                                 MessageKind::Error, Buttons::Ok, {QStringLiteral("Ok")},
                                 AppTexts::dialogCaption());
        return false;
    }
    return true;
}

void TForm1::offerRecovery()
{
    const QDir folder = QDir::current();
    const QStringList files = WeekRecovery::found(folder.path());
    // A week being changed is not replaced: the file waits for the next start.
    if (files.isEmpty() || planner_->changed())
        return;
    UserServices& services = UserServices::instance();
    const QString caption = AppTexts::dialogCaption();
    const QString path = folder.filePath(files.first());
    WeekRecovery::Week week;
    try {
        week = WeekRecovery::read(path);
    } catch (const AppError& e) {
        services.mostramessaggio(withFinalFullStop(e.message()) + QLatin1Char('\r') +
                                     QStringLiteral("Il file resta nella cartella."),
                                 MessageKind::Warning, Buttons::Ok, {QStringLiteral("Ok")},
                                 caption);
        return;
    }
    const QString when =
        week.kept.isValid()
            ? ItalianText::locale().toString(week.kept, QStringLiteral("d MMMM yyyy 'alle' HH:mm"))
            : QStringLiteral("(data sconosciuta)");
    const int answer = services.mostramessaggio(
        QStringLiteral("All'uscita del %1 la dieta di '%2', che non si era potuta salvare nel "
                       "database, è stata conservata nel file di recupero '%3'.")
                .arg(when, week.name, files.first()) +
            QLatin1Char('\r') +
            QStringLiteral("Rimetterla nella griglia? Le modifiche resteranno da salvare."),
        MessageKind::Confirmation, Buttons::Yes + Buttons::No,
        {QStringLiteral("Ripristina"), QStringLiteral("Non ripristinare")}, caption);
    if (answer == Result::Yes) {
        if (planner_->restoreWeek(week.person, week.slotTexts)) {
            QFile::remove(path);
            return;
        }
        services.mostramessaggio(QStringLiteral("Nel database non c'è più la persona '%1' "
                                                "(ID %2): la dieta del file di recupero non si "
                                                "può rimettere nella griglia.")
                                     .arg(week.name)
                                     .arg(week.person),
                                 MessageKind::Warning, Buttons::Ok, {QStringLiteral("Ok")},
                                 caption);
    } else if (answer != Result::No) {
        return; // closed: asked again at the next start
    }
    const int confirmed = services.mostramessaggio(
        QStringLiteral("Cancellare il file di recupero '%1'? La dieta di '%2' che contiene "
                       "andrà persa.")
                .arg(files.first(), week.name) +
            QLatin1Char('\r') +
            QStringLiteral("Con \"No\" il file resta e sarà proposto al prossimo avvio."),
        MessageKind::Confirmation, Buttons::Yes + Buttons::No,
        {QStringLiteral("Si"), QStringLiteral("No")}, caption);
    if (confirmed == Result::Yes)
        QFile::remove(path);
}

void TForm1::finishEnding()
{
    if (ending_)
        return;
    ending_ = true;
    if (endApplication)
        endApplication();
}

// --- Planner operations

void TForm1::caricadieta()
{
    planner_->caricadieta();
}
void TForm1::salvadieta()
{
    planner_->salvadieta();
}
int TForm1::chiedisalvataggio()
{
    return planner_->chiedisalvataggio();
}
void TForm1::btnTotaleClick()
{
    planner_->btnTotaleClick();
}
void TForm1::caricaalimenti()
{
    planner_->caricaalimenti();
}
void TForm1::caricafoto()
{
    planner_->caricafoto();
}
void TForm1::dbnomeEnter()
{
    planner_->dbnomeEnter();
}
void TForm1::dbnomeSelect()
{
    planner_->dbnomeSelect();
}

// --- Events

void TForm1::showEvent(QShowEvent* event)
{
    if (!shown_) {
        shown_ = true;
        // The outer size includes the frame; centred on the screen.
        const QMargins frame(geometry().left() - frameGeometry().left(),
                             geometry().top() - frameGeometry().top(),
                             frameGeometry().right() - geometry().right(),
                             frameGeometry().bottom() - geometry().bottom());
        resize(705 - frame.left() - frame.right(), 605 - frame.top() - frame.bottom());
        if (QScreen* screen = this->screen()) {
            QRect outer(QPoint(0, 0), QSize(705, 605));
            outer.moveCenter(screen->availableGeometry().center());
            move(outer.topLeft());
        }
        runGuarded([this] { FormShow(); });
        // After the grid's controls exist; also when the first show failed half-way.
        ContextHelp::applyWhatsThis(this);
        // Once the window is on screen.
        QTimer::singleShot(0, this, [this] { runGuarded([this] { offerRecovery(); }); });
    }
    QWidget::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (ending_) {
        event->accept();
        return;
    }
    // Closing through the frame is the exit command: unsaved changes are asked about.
    event->ignore();
    runGuarded([&] {
        const int answer = askBeforeEnding();
        if (answer == 0 || answer == 1) {
            event->accept();
            finishEnding();
        }
    });
}
