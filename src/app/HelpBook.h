#pragma once

#include <QString>

// The user guide: Italian HTML topics keyed by help context number, compiled into the
// program. A help file name ("Nutrilo1.hlp") names a guide by its base name; its topics
// are ":/help/<base name>/topics/<context>.html" and its contents page
// ":/help/<base name>/index.html".
class HelpBook {
public:
    explicit HelpBook(const QString& helpFile);

    const QString& helpFile() const { return helpFile_; }
    // Whether the guide the file names exists.
    bool exists() const;
    // The folder of the guide's topics, for resolving links between topics.
    QString topicsFolder() const;
    // The address of a topic's page; empty when the guide or the topic is missing.
    QString topicUrl(int context) const;
    QString contentsUrl() const;
    // The topic's HTML, or the guide's own page saying that the guide or the topic is
    // missing.
    QString topicHtml(int context) const;
    // The topic's text without markup, for What's This texts and tooltips; empty when
    // missing.
    QString topicText(int context) const;
    // The topic's title (its first heading); empty when missing.
    QString topicTitle(int context) const;

    // The texts the guide shows when something is missing.
    static QString missingFileText(const QString& helpFile);
    static QString missingTopicText(int context);

private:
    QString root_;
    QString helpFile_;
};
