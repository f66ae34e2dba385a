#include "TStampa.h"

#include "Accessibility.h"
#include "PdfOutput.h"
#include "ReportPrinter.h"
#include "RtfWriter.h"
#include "TDM.h"
#include "UserServices.h"

#include "Dataset.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString reportFont = QStringLiteral("Times New Roman");

QToolButton* pictureButton(QWidget* parent, const QString& name, const QString& picture)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setFixedSize(32, 32);
    button->setIconSize(QSize(26, 26));
    button->setIcon(QIcon(picture));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

void TStampa::substituteFonts()
{
    if (QFontDatabase::hasFamily(reportFont) || !QFont::substitutes(reportFont).isEmpty())
        return;
    QFont::insertSubstitutions(reportFont,
                               {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"),
                                QStringLiteral("Nimbus Roman"), QStringLiteral("DejaVu Serif")});
}

TStampa::TStampa(TDM* dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("TStampa"));
    setWindowTitle(QStringLiteral("Anteprima di stampa"));
    resize(696, 480);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(41);
    Panel1->setAutoFillBackground(true);
    QPalette sky = Panel1->palette();
    sky.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));
    Panel1->setPalette(sky);

    stamp = pictureButton(Panel1, QStringLiteral("stamp"), QStringLiteral(":/pictures/stampa.png"));
    stamp->setToolTip(QStringLiteral("Stampa n° di schede"));
    LMDButton4 =
        pictureButton(Panel1, QStringLiteral("LMDButton4"), QStringLiteral(":/pictures/salva.png"));
    LMDButton8 =
        pictureButton(Panel1, QStringLiteral("LMDButton8"), QStringLiteral(":/pictures/esci.png"));
    LMDButton8->setToolTip(QStringLiteral("Esci"));
    salvaPdf = new QToolButton(Panel1);
    salvaPdf->setObjectName(QStringLiteral("salvaPdf"));
    salvaPdf->setText(QStringLiteral("Salva PDF"));
    salvaPdf->setToolTip(QStringLiteral("Salva PDF"));
    salvaPdf->setFixedHeight(32);
    salvaPdf->setAutoRaise(true);
    salvaPdf->setFocusPolicy(Qt::TabFocus);

    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(4, 4, 4, 4);
    bar->setSpacing(4);
    bar->addWidget(stamp);
    bar->addWidget(LMDButton4);
    bar->addWidget(salvaPdf);
    bar->addStretch(1);
    bar->addWidget(LMDButton8);

    substituteFonts();
    memo1 = new QTextEdit(this);
    memo1->setObjectName(QStringLiteral("memo1"));
    memo1->setAcceptRichText(true);
    memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(reportFont, 12);
    font.setBold(true);
    memo1->setFont(font);
    memo1->document()->setDefaultFont(font);

    // The picture buttons and the text as a screen reader names them.
    Accessibility::setName(stamp, QStringLiteral("Stampa la dieta"));
    Accessibility::setName(LMDButton4, QStringLiteral("Salva la dieta in formato RTF"));
    Accessibility::setName(LMDButton8, QStringLiteral("Esci"));
    Accessibility::setName(memo1, QStringLiteral("Testo della dieta"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(memo1, 1);

    connect(stamp, &QToolButton::clicked, this, [this] { runGuarded([this] { stampClick(); }); });
    connect(LMDButton4, &QToolButton::clicked, this,
            [this] { runGuarded([this] { LMDButton4Click(); }); });
    connect(LMDButton8, &QToolButton::clicked, this,
            [this] { runGuarded([this] { LMDButton8Click(); }); });
    connect(salvaPdf, &QToolButton::clicked, this,
            [this] { runGuarded([this] { salvaPdfClick(); }); });
}

TStampa::~TStampa() = default;

void TStampa::appendLine(const QString& line)
{
    QTextCursor cursor(memo1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(line);
}

QStringList TStampa::documentLines() const
{
    QStringList out;
    for (QTextBlock b = memo1->document()->begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

QString TStampa::personName(const TDM* dm)
{
    if (!dm || !dm->utente || !dm->utenteNome || !dm->utente->isOpen())
        return {};
    const Dataset& people = *dm->utente;
    if (!people.isEditing() && (people.isEmpty() || people.recNo() < 0))
        return {};
    return dm->utenteNome->asString();
}

QString TStampa::rtfFileName(const QString& chosen)
{
    if (chosen.endsWith(QStringLiteral(".rtf"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".rtf");
}

void TStampa::stampClick()
{
    if (!UserServices::instance().choosePrinter(printer_))
        return;
    ReportPrinter::print(*memo1->document(), printer_,
                         QStringLiteral("Dieta di ") + personName(dm_));
}

void TStampa::LMDButton4Click()
{
    const QString chosen = UserServices::instance().chooseSaveFile(
        QStringLiteral("Dieta di ") + personName(dm_), QStringLiteral("Rich text format (*.rtf)"));
    if (chosen.isEmpty())
        return;
    RtfWriter::save(*memo1->document(), rtfFileName(chosen));
}

void TStampa::salvaPdfClick()
{
    const QString title = QStringLiteral("Dieta di ") + personName(dm_);
    const QString chosen = UserServices::instance().chooseSaveFile(
        title + QStringLiteral(".pdf"), QStringLiteral("Documento PDF (*.pdf)"));
    if (chosen.isEmpty())
        return;
    ReportPrinter::savePdf(*memo1->document(), PdfOutput::withPdfSuffix(chosen), title);
}

void TStampa::LMDButton8Click()
{
    close();
}

void TStampa::centreOnScreen()
{
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

int TStampa::exec()
{
    centreOnScreen();
    // The report opens at its title, with the caret before it.
    memo1->moveCursor(QTextCursor::Start);
    return QDialog::exec();
}
