#include "Tutenti.h"

#include "Accessibility.h"
#include "AppError.h"
#include "AppTexts.h"
#include "BodyMetrics.h"
#include "DBComboBox.h"
#include "DBEdit.h"
#include "DBGrid.h"
#include "DBLabel.h"
#include "DataSource.h"
#include "Dataset.h"
#include "FieldCaptions.h"
#include "PictureLoader.h"
#include "TDM.h"
#include "TVisite.h"
#include "TableSchema.h"
#include "UserServices.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor skyBlue(0xA6, 0xCA, 0xF0);
const QColor fieldBackground(0xD2, 0xE9, 0xFF);
const QColor maroon(0x80, 0x00, 0x00);
const QColor teal(0x00, 0x80, 0x80);
const QColor fuchsia(0xFF, 0x00, 0xFF);

// "MS Sans Serif" 8 point bold, with the usual sans-serif faces of a Linux desktop behind it.
QFont windowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    font.setBold(true);
    return font;
}

// A button with a picture only; `action` is its name for a screen reader.
QToolButton* pictureButton(QWidget* parent, const QString& name, const QString& picture,
                           const QString& tooltip, const QString& action)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(QIcon(QStringLiteral(":/pictures/%1.png").arg(picture)));
    button->setIconSize(QSize(26, 26));
    button->setFixedSize(32, 32);
    button->setAutoRaise(true);
    button->setToolTip(tooltip);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    Accessibility::setName(button, action);
    return button;
}

QLabel* caption(QWidget* parent, const QString& name, const QString& text, const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

// The look of the data panel's fields: light blue background, teal bold text.
void styleField(QWidget* field)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Base, fieldBackground);
    p.setColor(QPalette::Text, teal);
    field->setPalette(p);
    field->setFixedHeight(21);
}

} // namespace

QStringList Tutenti::sports()
{
    return BodyMetrics::sports();
}

Tutenti::Tutenti(TDM* dm, WeeklyPlanner* planner, QWidget* parent)
    : QDialog(parent), dm_(dm), planner_(planner)
{
    modificatoAltrove = new ChangedElsewhereBar(dm_->utente, QStringLiteral("La persona"), this);
    connect(dm_, &TDM::dataRefreshed, this, [this](const TDM::Refreshed& what) {
        if (what.editedPerson && isVisible())
            modificatoAltrove->showChange();
    });
    setObjectName(QStringLiteral("utenti"));
    setWindowTitle(QStringLiteral("Gestione utenti"));
    setFont(windowFont());
    resize(588, 498);

    buildTopBar();
    buildDataPanel();
    buildPhotoAndGrid();

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(Panel2);
    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    right->addWidget(Panel3);
    right->addWidget(Panel4, 1);
    body->addLayout(right, 1);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->addWidget(Panel1);
    main->addLayout(body, 1);

    // Keyboard order of the data panel.
    QWidget* order[] = {DBEdit2,     DBEdit3,     DBEdit4, DBEdit5,     DBComboBox1,
                        DBComboBox2, DBComboBox3, DBEdit1, DBComboBox4, DBEdit7,
                        DBEdit8,     DBEdit9,     DBEdit6, DBGrid1};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    DBEdit2->setFocus(); // the window opens on the name, not on the photo path

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void Tutenti::buildTopBar()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFixedHeight(48);

    down = pictureButton(Panel1, QStringLiteral("down"), QStringLiteral("indietro"),
                         QStringLiteral("Indietro"), QStringLiteral("Persona precedente"));
    up = pictureButton(Panel1, QStringLiteral("up"), QStringLiteral("avanti"),
                       QStringLiteral("Avanti"), QStringLiteral("Persona successiva"));
    btnNuovo = pictureButton(Panel1, QStringLiteral("btnNuovo"), QStringLiteral("nuovo"),
                             QStringLiteral("Nuovo Utente"), QStringLiteral("Nuova persona"));
    btndelete =
        pictureButton(Panel1, QStringLiteral("btndelete"), QStringLiteral("cancella"),
                      QStringLiteral("Cancella utente"), QStringLiteral("Cancella la persona"));
    btnsalva =
        pictureButton(Panel1, QStringLiteral("btnsalva"), QStringLiteral("salva"),
                      QStringLiteral("Salva i cambiamenti"), QStringLiteral("Salva la persona"));
    ibtnannulla = pictureButton(Panel1, QStringLiteral("ibtnannulla"), QStringLiteral("annulla"),
                                QStringLiteral("Annulla"), QStringLiteral("Annulla i cambiamenti"));
    auto* fotoCaption = new QLabel(QStringLiteral("Foto inizio dieta"), Panel1);
    fotoCaption->setObjectName(QStringLiteral("Label13"));
    DBEdit6 = new DBEdit(dm_->DSUtente, QStringLiteral("foto"), Panel1);
    DBEdit6->setObjectName(QStringLiteral("DBEdit6"));
    DBEdit6->setFixedSize(200, 20);
    Accessibility::setName(DBEdit6, QStringLiteral("File della foto inizio dieta"));
    fotoCaption->setBuddy(DBEdit6);
    btn_foto = pictureButton(Panel1, QStringLiteral("btn_foto"), QStringLiteral("foto"),
                             QStringLiteral("Inserisci foto"), QStringLiteral("Scegli la foto"));
    esci = pictureButton(Panel1, QStringLiteral("esci"), QStringLiteral("esci"),
                         QStringLiteral("Esci"), QStringLiteral("Esci"));
    btnVisite = new QToolButton(Panel1);
    btnVisite->setObjectName(QStringLiteral("btnVisite"));
    btnVisite->setText(QStringLiteral("Visite"));
    btnVisite->setToolTip(QStringLiteral("Le visite della persona: misure e andamento"));
    btnVisite->setFixedHeight(32);
    btnVisite->setCursor(Qt::PointingHandCursor);
    Accessibility::setName(btnVisite, QStringLiteral("Visite della persona"));

    auto* foto = new QVBoxLayout;
    foto->setContentsMargins(0, 0, 0, 0);
    foto->setSpacing(1);
    foto->addWidget(fotoCaption);
    foto->addWidget(DBEdit6);

    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(4, 3, 6, 3);
    row->setSpacing(3);
    for (QToolButton* b : {down, up, btnNuovo, btndelete, btnsalva, ibtnannulla})
        row->addWidget(b);
    row->addSpacing(10);
    row->addLayout(foto);
    row->addWidget(btn_foto);
    row->addSpacing(6);
    row->addWidget(btnVisite);
    row->addStretch(1);
    row->addWidget(esci); // keeps to the right edge

    connect(down, &QToolButton::clicked, this, [this] { downClick(); });
    connect(up, &QToolButton::clicked, this, [this] { upClick(); });
    connect(btnNuovo, &QToolButton::clicked, this, [this] { btnNuovoClick(); });
    connect(btndelete, &QToolButton::clicked, this, [this] { btndeleteClick(); });
    connect(btnsalva, &QToolButton::clicked, this, [this] { btnsalvaClick(); });
    connect(ibtnannulla, &QToolButton::clicked, this, [this] { ibtnannullaClick(); });
    connect(btn_foto, &QToolButton::clicked, this, [this] { btn_fotoClick(); });
    connect(esci, &QToolButton::clicked, this, [this] { esciClick(); });
    connect(btnVisite, &QToolButton::clicked, this, [this] { btnVisiteClick(); });
}

void Tutenti::buildDataPanel()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setFixedWidth(300);
    Panel2->setAutoFillBackground(true);
    QPalette p = Panel2->palette();
    p.setColor(QPalette::Window, skyBlue);
    Panel2->setPalette(p);

    DataSource* ds = dm_->DSUtente;
    auto edit = [&](const QString& name, const QString& field) {
        auto* e = new DBEdit(ds, field, Panel2);
        e->setObjectName(name);
        styleField(e);
        return e;
    };
    auto chooser = [&](const QString& name, const QString& field, const QStringList& choices) {
        auto* c = new DBComboBox(ds, field, choices, Panel2);
        c->setObjectName(name);
        c->setMaxVisibleItems(20);
        styleField(c);
        return c;
    };
    DBEdit2 = edit(QStringLiteral("DBEdit2"), QStringLiteral("Nome"));
    DBEdit3 = edit(QStringLiteral("DBEdit3"), QStringLiteral("eta"));
    DBComboBox3 = chooser(QStringLiteral("DBComboBox3"), QStringLiteral("sesso"),
                          {QStringLiteral("M"), QStringLiteral("F")});
    DBEdit5 = edit(QStringLiteral("DBEdit5"), QStringLiteral("altezza"));
    DBEdit4 = edit(QStringLiteral("DBEdit4"), QStringLiteral("peso"));
    DBEdit1 = edit(QStringLiteral("DBEdit1"), QStringLiteral("girovita"));
    DBComboBox1 = chooser(QStringLiteral("DBComboBox1"), QStringLiteral("corporatura"),
                          {QStringLiteral("Sottile"), QStringLiteral("Normale"),
                           QStringLiteral("Media"), QStringLiteral("Robusta")});
    DBComboBox2 =
        chooser(QStringLiteral("DBComboBox2"), QStringLiteral("attivita"),
                {QStringLiteral("Leggera"), QStringLiteral("Moderata"), QStringLiteral("Pesante")});
    DBComboBox4 = chooser(QStringLiteral("DBComboBox4"), QStringLiteral("sport"), sports());
    DBEdit7 = edit(QStringLiteral("DBEdit7"), QStringLiteral("ore"));
    DBEdit9 = edit(QStringLiteral("DBEdit9"), QStringLiteral("pesodes"));
    DBEdit8 = edit(QStringLiteral("DBEdit8"), QStringLiteral("giorni"));

    auto* grid = new QGridLayout(Panel2);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->setColumnStretch(1, 1);
    int row = 0;
    int label = 1;
    auto addField = [&](const QString& text, QWidget* field, int width) {
        QLabel* fieldCaption =
            caption(Panel2, QStringLiteral("Label%1").arg(label++), text, maroon);
        fieldCaption->setBuddy(field);
        Accessibility::setName(field, text);
        grid->addWidget(fieldCaption, row, 0);
        if (width > 0)
            field->setFixedWidth(width);
        grid->addWidget(field, row++, 1, Qt::AlignLeft);
    };
    addField(QStringLiteral("Nome e Cognome"), DBEdit2, 160);
    addField(QStringLiteral("Età anni"), DBEdit3, 50);
    addField(QStringLiteral("Sesso"), DBComboBox3, 50);
    addField(QStringLiteral("Altezza in cm"), DBEdit5, 50);
    addField(QStringLiteral("Peso in Kg"), DBEdit4, 50);
    addField(QStringLiteral("Girovita in cm"), DBEdit1, 50);
    addField(QStringLiteral("Corporatura"), DBComboBox1, 110);
    addField(QStringLiteral("Attività"), DBComboBox2, 110);
    addField(QStringLiteral("Sport"), DBComboBox4, 140);
    addField(QStringLiteral("Ore"), DBEdit7, 50);
    addField(QStringLiteral("Peso desiderato"), DBEdit9, 50);
    addField(QStringLiteral("in giorni"), DBEdit8, 50);
    grid->setRowMinimumHeight(row++, 8);

    DBLabel** values[] = {&DBText1, &DBText2, &DBText3, &DBText4, &DBText5, &DBText6};
    const QString fields[] = {QStringLiteral("caloriesport"), QStringLiteral("fabbenerg"),
                              QStringLiteral("pesoidea"),     QStringLiteral("BMI"),
                              QStringLiteral("%massagrassa"), QStringLiteral("razzterr")};
    const QString captions[] = {
        QStringLiteral("Calorie sport"),  QStringLiteral("Fabb. Energ. Kcal"),
        QStringLiteral("Peso Ideale"),    QStringLiteral("BMI"),
        QStringLiteral("% Massa grassa"), QStringLiteral(" Razz. terapeutica")};
    for (int i = 0; i < 6; ++i) {
        auto* value = new DBLabel(ds, fields[i], Panel2);
        value->setObjectName(QStringLiteral("DBText%1").arg(i + 1));
        *values[i] = value;
        QLabel* valueCaption =
            caption(Panel2, QStringLiteral("Label%1").arg(label++), captions[i], fuchsia);
        valueCaption->setBuddy(value);
        grid->addWidget(valueCaption, row, 0);
        grid->addWidget(value, row++, 1);
    }
    grid->addWidget(caption(Panel2, QStringLiteral("Label%1").arg(label++),
                            QStringLiteral("(per i giorni indicati)."), fuchsia),
                    row++, 0);
    grid->setRowStretch(row, 1);
}

void Tutenti::buildPhotoAndGrid()
{
    Panel3 = new QFrame(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel3->setFixedHeight(210);
    Image1 = new QLabel(Panel3);
    Image1->setObjectName(QStringLiteral("Image1"));
    Accessibility::setName(Image1, QStringLiteral("Foto inizio dieta"));
    Image1->setScaledContents(true); // the picture is stretched to fill the area
    // The area keeps its size whatever the picture: the picture's size is no hint.
    Image1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto* photo = new QVBoxLayout(Panel3);
    photo->setContentsMargins(2, 2, 2, 2);
    photo->addWidget(Image1);

    Panel4 = new QFrame(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    DBGrid1 = new DBGrid(Panel4);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    const QStringList fields = {
        QStringLiteral("ID"),           QStringLiteral("id_utente"),    QStringLiteral("Nome"),
        QStringLiteral("eta"),          QStringLiteral("peso"),         QStringLiteral("altezza"),
        QStringLiteral("sesso"),        QStringLiteral("corporatura"),  QStringLiteral("attivita"),
        QStringLiteral("girovita"),     QStringLiteral("foto"),         QStringLiteral("sport"),
        QStringLiteral("ore"),          QStringLiteral("pesodes"),      QStringLiteral("giorni"),
        QStringLiteral("BMI"),          QStringLiteral("pesoidea"),     QStringLiteral("fabbenerg"),
        QStringLiteral("%massagrassa"), QStringLiteral("caloriesport"), QStringLiteral("razzterr")};
    // Titled by the captions the user reads beside the fields, not by the column names.
    QStringList titles;
    for (const QString& field : fields)
        titles << FieldCaptions::of(TableSchema::utenti().name, field);
    DBGrid1->setColumns(fields, titles);
    Accessibility::setName(DBGrid1, QStringLiteral("Elenco delle persone"));
    DBGrid1->setTitleFont(font());
    DBGrid1->setTitleColour(Qt::blue);
    DBGrid1->setDataSource(dm_->DSUtente);
    for (int column = 0; column < 21; ++column)
        DBGrid1->setColumnWidth(column, column == 0 ? 40 : 70);
    DBGrid1->setColumnWidth(2, 130);
    DBGrid1->setColumnWidth(10, 160);
    DBGrid1->setColumnWidth(15, 130);
    // The record numbers are the database's own: kept in the grid's data, not shown.
    DBGrid1->setColumnHidden(0, true);
    DBGrid1->setColumnHidden(1, true);
    auto* box = new QVBoxLayout(Panel4);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(DBGrid1);
}

// ---------------------------------------------------------------- photo

void Tutenti::loadDefaultPicture()
{
    Image1->setPixmap(PictureLoader::load(AppTexts::defaultPicture()));
}

void Tutenti::caricafoto()
{
    runGuarded([this] {
        const QString foto = dm_->utentefoto->asString();
        try {
            Image1->setPixmap(PictureLoader::load(foto));
            return;
        } catch (const AppError&) {
        }
        if (!foto.isEmpty()) {
            // The photo area keeps what it showed; the record is not touched.
            UserServices::instance().errorBox(QStringLiteral("Immagine non valida !"));
            return;
        }
        loadDefaultPicture(); // a missing default picture goes to the error report
    });
}

void Tutenti::btn_fotoClick()
{
    runGuarded([this] {
        const QString path =
            UserServices::instance().choosePictureFile(PictureLoader::dialogFilter());
        if (path.isEmpty())
            return;
        Dataset* d = dm_->utente;
        const bool wasBrowsing = d->state() == Dataset::State::Browse;
        const QVariant oldFoto = d->isEditing() ? dm_->utentefoto->value() : QVariant();
        bool changed = false;
        try {
            Image1->setPixmap(PictureLoader::load(path));
            d->edit();
            dm_->utentefoto->setAsString(path);
            changed = true;
            d->post();
            return;
        } catch (const AppError&) {
        } catch (const AbortError&) {
            // A refused post: the data module has shown the database's message.
        }
        // Nothing half-done stays behind: the path that could not be stored is taken back,
        // and a record that was only opened for the photo returns to browsing.
        if (changed) {
            if (wasBrowsing)
                d->cancel();
            else
                dm_->utentefoto->setValue(oldFoto);
        }
        loadDefaultPicture();
        UserServices::instance().errorBox(QStringLiteral("Immagine non valida!!!"));
    });
}

// ---------------------------------------------------------------- commands

void Tutenti::FormShow()
{
    caricafoto();
}

void Tutenti::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tutenti::downClick()
{
    runGuarded([this] {
        dm_->utente->prior();
        caricafoto();
    });
}

void Tutenti::upClick()
{
    runGuarded([this] {
        dm_->utente->next();
        caricafoto();
    });
}

void Tutenti::btnNuovoClick()
{
    runGuarded([this] { dm_->utente->insert(); });
}

void Tutenti::btnsalvaClick()
{
    runGuarded([this] {
        if (dm_->utente->isEditing())
            dm_->utente->post();
    });
}

void Tutenti::ibtnannullaClick()
{
    runGuarded([this] { dm_->utente->cancel(); });
}

void Tutenti::btndeleteClick()
{
    runGuarded([this] {
        const QString question = QStringLiteral("Vuoi cancellare l'utente ") +
                                 dm_->utenteNome->asString() + QStringLiteral(" ?");
        const int answer = UserServices::instance().mostramessaggio(
            question, MessageKind::Confirmation, Buttons::Yes | Buttons::No | Buttons::Cancel,
            {QStringLiteral("Si"), QStringLiteral("No"), QStringLiteral("Annulla")},
            AppTexts::dialogCaption());
        if (answer != Result::Yes)
            return;
        // The person goes with every row of their menu, in one transaction (the data
        // module's rule for a person's delete).
        dm_->utente->deleteRecord();
    });
}

void Tutenti::btnVisiteClick()
{
    runGuarded([this] {
        if (dm_->utente->isEditing()) {
            UserServices::instance().mostramessaggio(
                QStringLiteral("Salva o annulla i cambiamenti della persona prima di aprire le "
                               "sue visite."),
                MessageKind::Warning, Buttons::Ok, {QStringLiteral("Ok")},
                AppTexts::dialogCaption());
            return;
        }
        if (dm_->utente->isEmpty())
            return;
        TVisite visits(dm_, this);
        visits.exec();
    });
}

void Tutenti::cancelPending()
{
    runGuarded([this] {
        if (dm_->utente->isEditing())
            dm_->utente->cancel();
    });
}

void Tutenti::esciClick()
{
    cancelPending();
    close();
}

void Tutenti::reject()
{
    cancelPending();
    QDialog::reject();
}

void Tutenti::keyPressEvent(QKeyEvent* event)
{
    // Esc does not close the window (it would drop pending changes unasked).
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
