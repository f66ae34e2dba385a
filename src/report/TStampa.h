#pragma once

#include <QDialog>
#include <QPrinter>
#include <QString>
#include <QStringList>

class QFrame;
class QTextEdit;
class QToolButton;
class TDM;

// The print preview: the report as editable rich text, printed on a chosen printer or
// saved as an RTF file. A new window is made for every report and shown modally.
class TStampa : public QDialog {
    Q_OBJECT
public:
    explicit TStampa(TDM* dm, QWidget* parent = nullptr);
    ~TStampa() override;

    QFrame* Panel1 = nullptr;
    QToolButton* stamp = nullptr;
    QToolButton* LMDButton4 = nullptr;
    QToolButton* LMDButton8 = nullptr;
    QToolButton* salvaPdf = nullptr; // "Salva PDF", right of LMDButton4
    QTextEdit* memo1 = nullptr;

    // Appends one line (a paragraph) after the document's last one.
    void appendLine(const QString& line);
    // The document's lines as they read now, user edits included.
    QStringList documentLines() const;

    // The printer the print dialog sets up and the job goes to.
    QPrinter& printer() { return printer_; }

    // Print: the print dialog, then the whole document as one job titled "Dieta di " and
    // the person's name.
    void stampClick();
    // Save as RTF: the save dialog proposing "Dieta di " and the name; ".rtf" is added
    // unless the chosen name already ends in it.
    void LMDButton4Click();
    // Exit.
    void LMDButton8Click();
    // Save as PDF: the save dialog proposing "Dieta di " and the name with ".pdf"; the
    // document as shown written to A4 pages (".pdf" added unless the name ends in it).
    void salvaPdfClick();

    // Shows the window centred on the screen and waits until it is closed.
    int exec() override;

    // The name of the current person of `dm`, empty without one.
    static QString personName(const TDM* dm);
    // The name the RTF file gets for a name chosen in the save dialog.
    static QString rtfFileName(const QString& chosen);
    // Maps "Times New Roman" to a metric-compatible face where the system lacks it.
    static void substituteFonts();

private:
    void centreOnScreen();

    TDM* dm_;
    QPrinter printer_;
};
