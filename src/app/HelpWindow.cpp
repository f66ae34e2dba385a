#include "HelpWindow.h"

#include "Accessibility.h"
#include "AppTexts.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
QPointer<HelpWindow> theWindow;

QString messagePage(const QString& message)
{
    return QStringLiteral("<html><body><h3>%1</h3><p><a href=\"qrc:/help/index.html\">"
                          "Indice della guida</a></p></body></html>")
        .arg(message.toHtmlEscaped());
}
} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Guida di Nutrilo"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(560, 480);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    Accessibility::setName(browser_, QStringLiteral("Testo della guida"));
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({QStringLiteral(":/help")});

    auto* index = new QPushButton(QStringLiteral("Indice"), this);
    index->setObjectName(QStringLiteral("helpIndex"));
    connect(index, &QPushButton::clicked, this,
            [this] { browser_->setSource(QUrl(QStringLiteral("qrc:/help/index.html"))); });
    auto* back = new QPushButton(QStringLiteral("Indietro"), this);
    back->setObjectName(QStringLiteral("helpBack"));
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    back->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("Chiudi"), this);
    close->setObjectName(QStringLiteral("helpClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(index);
    buttons->addWidget(back);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);
}

HelpWindow* HelpWindow::instance()
{
    if (!theWindow)
        theWindow = new HelpWindow;
    return theWindow;
}

bool HelpWindow::isOurHelpFile(const QString& helpFile)
{
    return QFileInfo(helpFile).fileName().compare(AppTexts::helpFile(), Qt::CaseInsensitive) == 0;
}

QString HelpWindow::topicPath(int context)
{
    const QString path = QStringLiteral(":/help/%1.html").arg(context);
    return QFile::exists(path) ? path : QString();
}

QString HelpWindow::missingTopicMessage(int context)
{
    return QStringLiteral("Argomento della guida non trovato: %1").arg(context);
}

QString HelpWindow::missingFileMessage(const QString& helpFile)
{
    return QStringLiteral("File della guida non trovato: %1").arg(helpFile);
}

QString HelpWindow::topicHtml(const QString& helpFile, int context)
{
    if (!isOurHelpFile(helpFile))
        return messagePage(missingFileMessage(helpFile));
    const QString path = topicPath(context);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return messagePage(missingTopicMessage(context));
    return QString::fromUtf8(file.readAll());
}

void HelpWindow::showTopic(const QString& helpFile, int context)
{
    const QString path = isOurHelpFile(helpFile) ? topicPath(context) : QString();
    if (path.isEmpty()) {
        browser_->clearHistory();
        browser_->setHtml(topicHtml(helpFile, context));
        return;
    }
    browser_->setSource(QUrl(QStringLiteral("qrc") + path));
}
