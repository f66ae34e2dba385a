#pragma once

#include <QDialog>

class QTextBrowser;

// The window of the user guide: the Italian HTML topics compiled into the application,
// one per help context number, shown in a browser with links between them. The help
// file named at start-up stands for these topics; a different file, or a number without
// a topic, is reported in the window itself.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The application's one help window, created on first use.
    static HelpWindow* instance();

    // Shows the topic of a context number of a help file (the window is not raised).
    void showTopic(const QString& helpFile, int context);
    QTextBrowser* browser() const { return browser_; }

    // Whether the help file is ours (the name given at start-up, in any letter case).
    static bool isOurHelpFile(const QString& helpFile);
    // The resource path of a topic ("qrc:/help/12.html" style), empty when there is none.
    static QString topicPath(int context);
    // The HTML of a topic, or the help window's own message when the file or the topic
    // is missing.
    static QString topicHtml(const QString& helpFile, int context);
    // The messages of the help window.
    static QString missingTopicMessage(int context);
    static QString missingFileMessage(const QString& helpFile);

private:
    QTextBrowser* browser_;
};
