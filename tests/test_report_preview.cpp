// The print preview: its window, the Print command end to end, saving as RTF (read back
// by unrtf) and printing to PDF (read back by pdftotext).
#include "DietReport.h"
#include "ReportBuilder.h"
#include "RtfWriter.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TStampa.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "WeeklyPlanner.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// Output of a helper program; fails the test when it cannot run.
QByteArray run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
        return {};
    }
    return p.readAllStandardOutput();
}

// Lines without their blanks' runs and empty lines: what text extractors keep.
QStringList simplified(const QStringList& lines)
{
    QStringList out;
    for (const QString& l : lines)
        if (!l.simplified().isEmpty())
            out << l.simplified();
    return out;
}

// The lines unrtf --text gives for a file: the header (### lines, the dashes) dropped,
// the raw Windows-1252 bytes of plain ASCII reports read as they are.
QStringList unrtfText(const QString& path)
{
    const QString out = QString::fromLatin1(run("unrtf", {"--text", path}));
    QStringList lines = out.split('\n');
    const int dashes = lines.indexOf(QRegularExpression("^-+$"));
    return dashes < 0 ? QStringList() : lines.mid(dashes + 1);
}

// Runs `inside` once the modal window is up, then closes it.
void whileModal(const std::function<void(TStampa&)>& inside)
{
    QTimer::singleShot(0, [inside] {
        auto* window = qobject_cast<TStampa*>(QApplication::activeModalWidget());
        QVERIFY(window);
        inside(*window);
        window->LMDButton8->click();
    });
}

// A long week: every slot of every day filled.
QStringList fullWeek(const QString& name)
{
    return ReportBuilder::lines(
        name, "01/02/25", [](int d) { return QString("Giorno%1").arg(d); },
        [](int) { return QStringLiteral("1234,5"); },
        [](int n) {
            return ReportBuilder::SlotTexts{QString("Cibo numero %1").arg(n), "100", "42"};
        });
}

} // namespace

class TestReportPreview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void window();
    void printCommandFromTheGrid();
    void saveRtfReadBack();
    void saveNameAndExtension();
    void saveFailureReported();
    void rtfEscapes();
    void printToPdf();
    void printCancelledOrFailing();

private:
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<TDM> dm_;
    QTemporaryDir out_;
};

void TestReportPreview::initTestCase()
{
    QVERIFY(out_.isValid());
    // NUTRILO_KEEP_OUTPUT keeps the written files for a look after the run.
    out_.setAutoRemove(!qEnvironmentVariableIsSet("NUTRILO_KEEP_OUTPUT"));
    qInfo("output in %s", qPrintable(out_.path()));
    db_ = std::make_unique<TestDatabase>();
    db_->addFood("Mela", 52);
    db_->addPerson("Nicolò {Rossi} \\ Bianchi");
    dm_ = std::make_unique<TDM>(db_->path());
}

void TestReportPreview::window()
{
    TStampa w(dm_.get());
    QCOMPARE(w.objectName(), QString("TStampa"));
    QCOMPARE(w.windowTitle(), QString("Anteprima di stampa"));
    QCOMPARE(w.size(), QSize(696, 480));
    QCOMPARE(w.findChild<QFrame*>("Panel1"), w.Panel1);
    QCOMPARE(w.findChild<QTextEdit*>("memo1"), w.memo1);
    QCOMPARE(w.Panel1->height(), 41);
    QCOMPARE(w.Panel1->palette().color(QPalette::Window), QColor(0xA6, 0xCA, 0xF0));
    QCOMPARE(w.stamp->toolTip(), QString("Stampa n° di schede"));
    QCOMPARE(w.LMDButton8->toolTip(), QString("Esci"));
    for (QToolButton* b : {w.stamp, w.LMDButton4, w.LMDButton8}) {
        QCOMPARE(b->size(), QSize(32, 32));
        QVERIFY(!b->icon().isNull());
    }
    const QFont font = w.memo1->font();
    QCOMPARE(font.family(), QString("Times New Roman"));
    QCOMPARE(font.pointSize(), 12);
    QVERIFY(font.bold());
    QVERIFY(!w.memo1->isReadOnly());
    QVERIFY(w.memo1->acceptRichText());
    QCOMPARE(w.memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(w.documentLines(), QStringList{""});

    // Exit stays at the right edge, the two others at the left.
    whileModal([](TStampa& shown) {
        const QRect screen = shown.screen()->availableGeometry();
        QVERIFY(qAbs(shown.frameGeometry().center().x() - screen.center().x()) <= 2);
        QVERIFY(qAbs(shown.frameGeometry().center().y() - screen.center().y()) <= 2);
        for (int width : {696, 1000}) {
            shown.resize(width, 480);
            QCoreApplication::processEvents();
            QCOMPARE(shown.Panel1->width(), width);
            QVERIFY(shown.Panel1->width() - shown.LMDButton8->geometry().right() <= 8);
            QVERIFY(shown.stamp->x() < shown.LMDButton4->x());
            QVERIFY(shown.LMDButton4->geometry().right() < 80);
        }
    });
    w.exec();
    QVERIFY(!w.isVisible());
}

// The main window's Print command over a planner frame: one fresh preview per press,
// Monday to Sunday whichever page is shown, the grid as displayed.
void TestReportPreview::printCommandFromTheGrid()
{
    ScriptedServices services;
    QWidget main;
    PlannerFrame frame;
    frame.PageControl1 = new QTabWidget(&main);
    const QStringList days{"Lunedi",  "Martedì", "Mercoledì", "Giovedì",
                           "Venerdì", "Sabato",  "Domenica"};
    for (int d = 1; d <= 7; ++d) {
        auto* page = new QWidget;
        page->setObjectName(QString("TabSheet%1").arg(d));
        frame.PageControl1->addTab(page, days.at(d - 1));
    }
    frame.salva = new QToolButton(&main);
    frame.dbnome = new QComboBox(&main);
    frame.Image1 = new QLabel(&main);
    WeeklyPlanner planner(frame, dm_.get());
    const bool gridThere = bool(planner.slot(101));
    if (gridThere) {
        planner.caricaalimenti();
        // A food picked with grams, one typed that the table does not know, both unsaved.
        planner.slot(301).food->setCurrentText("Mela");
        planner.slot(301).grams->setText("150");
        planner.slot(719).food->setEditText("Minestrone di casa");
        planner.slot(719).grams->clear();
    }
    frame.PageControl1->setCurrentIndex(5);

    const QString title = QString(30, ' ') + "Dieta di " + TStampa::personName(dm_.get()) + " " +
                          ReportBuilder::today();
    for (int press = 0; press < 2; ++press) {
        QStringList shown;
        whileModal([&](TStampa& w) {
            shown = w.documentLines();
            w.memo1->append("typed by the user");
        });
        DietReport::stampClick(planner, *dm_, &main);
        QVERIFY(services.messages().isEmpty());
        QCOMPARE(shown.value(0), QString());
        QCOMPARE(shown.value(1), title);
        QVERIFY(title.contains("Nicolò {Rossi} \\ Bianchi"));
        QStringList headers;
        for (const QString& line : shown)
            if (line.startsWith("         ") && line.contains(" kcal tot. "))
                headers << line.mid(9, line.indexOf(" kcal tot. ") - 9);
        QCOMPARE(headers, days);
        QVERIFY(!shown.contains("typed by the user"));
        if (!gridThere) {
            QCOMPARE(shown.size(), 80);
            continue;
        }
        QCOMPARE(shown.size(), 82);
        QVERIFY(shown.contains("Alimento:   Mela   gr. 150   Kcal: 78"));
        QCOMPARE(shown.at(shown.size() - 1),
                 QString("Alimento:   Minestrone di casa   gr.    Kcal: 0"));
        QCOMPARE(shown.at(shown.indexOf(QRegularExpression("^ +Mercoledì .*"))),
                 QString("         Mercoledì kcal tot. 78"));
    }
    if (!gridThere)
        QSKIP("the weekly grid has no slot controls yet: the empty week was checked");
}

void TestReportPreview::saveRtfReadBack()
{
    ScriptedServices services;
    TStampa w(dm_.get());
    const QStringList report = fullWeek("Anna");
    for (const QString& line : report)
        w.appendLine(line);
    // Text the user adds goes into the file too.
    QTextCursor c(w.memo1->document());
    c.movePosition(QTextCursor::End);
    c.insertBlock();
    c.insertText("Nota: bere acqua");

    const QString path = out_.filePath("settimana.rtf");
    services.fileAnswers.enqueue(path);
    w.LMDButton4->click();
    QVERIFY(services.messages().isEmpty());
    QCOMPARE(services.callsOf(ScriptedServices::What::SaveFile).size(), 1);
    const auto ask = services.callsOf(ScriptedServices::What::SaveFile).first();
    QCOMPARE(ask.text, QString("Dieta di Nicolò {Rossi} \\ Bianchi"));
    QCOMPARE(ask.caption, QString("Rich text format (*.rtf)"));

    const QStringList lines = unrtfText(path);
    QCOMPARE(simplified(lines), simplified(w.documentLines()));
    QVERIFY(lines.contains(" Dieta di Anna 01/02/25")); // unrtf keeps one blank of a run
    QVERIFY(simplified(lines).contains("Nota: bere acqua"));

    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray rtf = raw.readAll();
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    QVERIFY(rtf.contains("\\f0\\fs24\\b "));
    // A4 (210 × 297 mm) with 15 mm margins, in twips, before the first paragraph.
    const qsizetype page = rtf.indexOf("\\paperw11906\\paperh16838\\margl850\\margr850\\margt850"
                                       "\\margb850");
    QVERIFY(page > 0 && page < rtf.indexOf("\\pard"));
    // Every blank is kept in the file itself, one paragraph per line.
    QVERIFY(rtf.contains("\\par\n" + QByteArray(30, ' ') + "Dieta di Anna 01/02/25\\par\n"));
    QCOMPARE(rtf.count("\\par\n"), qsizetype(w.documentLines().size()));

    const QString html = QString::fromUtf8(run("unrtf", {"--html", path}));
    QVERIFY(html.contains("<font face=\"Times New Roman\">"));
    QVERIFY(html.contains("<b>"));
    // Size 3 is unrtf's rendering of 12 points.
    QVERIFY(html.contains("<font size=\"3\">"));
}

void TestReportPreview::saveNameAndExtension()
{
    ScriptedServices services;
    TStampa w(dm_.get());
    w.appendLine("prima versione");
    QDir dir(out_.filePath("names"));
    QVERIFY(dir.mkpath("."));
    services.fileAnswers << dir.filePath("a") << dir.filePath("b.rtf") << dir.filePath("C.RTF")
                         << dir.filePath("d.txt") << QString();
    for (int i = 0; i < 5; ++i)
        w.LMDButton4Click();
    QCOMPARE(services.callsOf(ScriptedServices::What::SaveFile).size(), 5);
    QCOMPARE(dir.entryList(QDir::Files, QDir::Name),
             (QStringList{"C.RTF", "a.rtf", "b.rtf", "d.txt.rtf"}));

    // An existing file is replaced, and nothing else is left in the folder.
    w.appendLine("seconda versione");
    services.fileAnswers << dir.filePath("b.rtf");
    w.LMDButton4Click();
    QVERIFY(simplified(unrtfText(dir.filePath("b.rtf"))).contains("seconda versione"));
    QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden).size(), 4);
    QVERIFY(services.messages().isEmpty());
}

void TestReportPreview::saveFailureReported()
{
    ScriptedServices services;
    TStampa w(dm_.get());
    w.appendLine("da salvare");
    const QStringList before = w.documentLines();

    QDir dir(out_.filePath("fail"));
    QVERIFY(dir.mkpath("."));
    QVERIFY(dir.mkpath("occupied.rtf")); // a folder stands where the file would go
    QFile plain(dir.filePath("plain"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    services.fileAnswers << dir.filePath("missing/dieta") << dir.filePath("occupied")
                         << dir.filePath("plain/dieta");
    for (int i = 0; i < 3; ++i)
        w.LMDButton4->click();

    const QStringList reports = services.textsOf(ScriptedServices::What::ErrorReport);
    QCOMPARE(reports.size(), 3);
    QVERIFY(reports.at(0).startsWith("Impossibile creare il file \"" +
                                     QDir::toNativeSeparators(dir.filePath("missing/dieta.rtf"))));
    QVERIFY(reports.at(1).contains("occupied.rtf"));
    QVERIFY(reports.at(2).contains("plain/dieta.rtf"));
    for (const QString& r : reports)
        QVERIFY(r.endsWith('.'));
    QCOMPARE(w.documentLines(), before);
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{"occupied.rtf", "plain"}));
    QVERIFY(QDir(dir.filePath("occupied.rtf")).isEmpty());
}

// Accented letters, braces and backslashes in user text, read back by unrtf.
void TestReportPreview::rtfEscapes()
{
    QCOMPARE(RtfWriter::escape("a{b}c\\d"), QByteArray("a\\{b\\}c\\\\d"));
    QCOMPARE(RtfWriter::escape("ìèàòù°"), QByteArray("\\'ec\\'e8\\'e0\\'f2\\'f9\\'b0"));
    QCOMPARE(RtfWriter::escape("€ – ł"), QByteArray("\\'80 \\'96 \\u322?"));
    QCOMPARE(RtfWriter::escape(QString::fromUtf8("\xF0\x9F\x8D\x8E")), // a red apple
             QByteArray("\\u-10180?\\u-8370?"));

    // Formatting the user gives pasted or typed text survives, run by run.
    {
        TStampa w(dm_.get());
        w.appendLine("uno ");
        QTextCursor c(w.memo1->document());
        c.movePosition(QTextCursor::End);
        QTextCharFormat f;
        f.setFontItalic(true);
        f.setFontFamilies({"Liberation Sans"});
        f.setFontPointSize(9);
        c.insertText("due", f);
        c.insertText(" tre", QTextCharFormat());
        const QByteArray rtf = RtfWriter::toRtf(*w.memo1->document());
        QVERIFY2(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Times New Roman;}"
                              "{\\f1\\fnil\\fcharset0 Liberation Sans;}}"),
                 rtf.constData());
        QVERIFY2(rtf.contains("\\par\nuno \\f1\\fs18\\i due\\f0\\fs24\\i0  tre\\par\n}"),
                 rtf.constData());
    }

    ScriptedServices services;
    TStampa w(dm_.get());
    w.appendLine("Giovedì: caffè, però più {zucchero} \\ sale, 37°, € 2");
    const QString path = out_.filePath("accenti.rtf");
    services.fileAnswers << path;
    w.LMDButton4Click();
    const QString html = QString::fromUtf8(run("unrtf", {"--html", path}));
    QVERIFY2(html.contains("Gioved&igrave;: caff&egrave;, per&ograve; pi&ugrave; {zucchero} \\ "
                           "sale, 37&deg;, &euro; 2"),
             qPrintable(html));
    // --text gives the raw code page bytes.
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(run("unrtf", {"--text", path}).contains("Gioved\xec: caff\xe8"));
}

void TestReportPreview::printToPdf()
{
    ScriptedServices services;
    TStampa w(dm_.get());
    const QStringList report = fullWeek("Anna");
    for (const QString& line : report)
        w.appendLine(line);
    const QString pdf = out_.filePath("stampa.pdf");
    w.printer().setOutputFormat(QPrinter::PdfFormat);
    w.printer().setOutputFileName(pdf);
    services.printerAnswers << true;
    w.stamp->click();
    QVERIFY2(services.messages().isEmpty(), qPrintable(services.messages().join('|')));
    QCOMPARE(services.callsOf(ScriptedServices::What::Printer).size(), 1);

    const QString info = QString::fromUtf8(run("pdfinfo", {pdf}));
    QVERIFY2(
        info.contains(QRegularExpression("Title: +Dieta di Nicolò \\{Rossi\\} \\\\ Bianchi\n")),
        qPrintable(info));
    const int pages = QRegularExpression("Pages: +(\\d+)").match(info).captured(1).toInt();
    QVERIFY2(pages >= 3, qPrintable(info)); // 214 lines of 12 points
    const QStringList text = QString::fromUtf8(run("pdftotext", {"-layout", pdf, "-"})).split('\n');
    QStringList printed;
    for (QString line : text) {
        line.remove('\f');
        printed << line;
    }
    QCOMPARE(simplified(printed), simplified(w.documentLines()));
    // Every page starts at the top of the printable area with the next line.
    const QString fonts = QString::fromUtf8(run("pdffonts", {pdf}));
    QVERIFY2(fonts.contains("Bold") && fonts.contains("Serif"), qPrintable(fonts));
    QCOMPARE(w.documentLines().size(), report.size() + 1);

    // Copies the PDF device cannot make itself are printed one after the other.
    w.printer().setCopyCount(2);
    services.printerAnswers << true;
    w.stampClick();
    const QString twice = QString::fromUtf8(run("pdfinfo", {pdf}));
    const int pagesTwice = QRegularExpression("Pages: +(\\d+)").match(twice).captured(1).toInt();
    QCOMPARE(pagesTwice, w.printer().supportsMultipleCopies() ? pages : 2 * pages);
}

void TestReportPreview::printCancelledOrFailing()
{
    ScriptedServices services;
    TStampa w(dm_.get());
    w.appendLine("riga");
    const QString pdf = out_.filePath("annullata.pdf");
    w.printer().setOutputFormat(QPrinter::PdfFormat);
    w.printer().setOutputFileName(pdf);
    services.printerAnswers << false;
    w.stamp->click();
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(services.messages().isEmpty());

    w.printer().setOutputFileName(out_.filePath("nowhere/stampa.pdf"));
    services.printerAnswers << true;
    w.stamp->click();
    const QStringList reports = services.textsOf(ScriptedServices::What::ErrorReport);
    QCOMPARE(reports.size(), 1);
    QVERIFY(reports.first().contains("nowhere/stampa.pdf"));
    QCOMPARE(w.documentLines(), (QStringList{"", "riga"}));
}

NUTRILO_TEST_MAIN(TestReportPreview)
#include "test_report_preview.moc"
