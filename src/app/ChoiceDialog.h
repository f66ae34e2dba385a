#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QListWidget;
class QPushButton;

// A modal list to choose from: a prompt, the entries (with a tick box each when several
// may be chosen) and the buttons "Ok" and "Annulla"; "Ok" is enabled once something is
// chosen. Double-clicking an entry of a single choice chooses it at once.
class ChoiceDialog : public QDialog {
    Q_OBJECT
public:
    ChoiceDialog(const QString& prompt, const QStringList& entries, bool several,
                 QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    QPushButton* okButton() const { return ok_; }
    // The positions chosen, in list order.
    QList<int> chosen() const;

private:
    void updateOk();

    QListWidget* list_;
    QPushButton* ok_;
    bool several_;
};
