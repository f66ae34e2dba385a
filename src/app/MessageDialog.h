#pragma once

#include "UserServices.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;

// The message dialog laid out as a standard message box: the kind's icon on the left,
// the text beside it, and one centred row of equal-width buttons in the fixed order
// Yes, No, OK, Cancel for the members of the button set. The buttons are named
// "btnYes", "btnNo", "btnOk" and "btnCancel". exec() returns the pressed button's code
// (Result); closing the dialog gives Result::Cancel.
class MessageDialog : public QDialog {
    Q_OBJECT
public:
    MessageDialog(const QString& text, MessageKind kind, int buttons, const QStringList& captions,
                  const QString& caption, QWidget* parent = nullptr);

    // The buttons shown, left to right.
    const QList<QPushButton*>& buttons() const { return buttons_; }
    // The sound alias of a kind: "SystemAsterisk" for a warning, "SystemExclamation" for
    // information and confirmation, none for an error.
    static QString soundAlias(MessageKind kind);

    // Centres the dialog on the screen; done when it is shown.
    void centreOnScreen();

public:
    // Closing the dialog through its frame gives Cancel's code, whatever the set.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void press(int code);
    // The code of the button whose access key the event types; 0 when none.
    int accessKeyCode(const QKeyEvent* event) const;
    // A button's access key: the first letter of its caption, folded.
    static QChar accessKeyOf(const QPushButton* button);
    // The one button with that access key; nullptr when none or several have it.
    const QPushButton* buttonWithAccessKey(QChar letter) const;

    QList<QPushButton*> buttons_;
    int set_ = 0;
};
