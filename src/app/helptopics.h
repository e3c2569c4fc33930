// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help file's table of contents and index, read from its HTML: every heading written as
// <h2><a name="anchor">Title</a></h2> (or h3) is a topic; every comment written as
// <!-- index: term | anchor --> adds an index entry besides the topic titles.

#include <QList>
#include <QString>

namespace vardo {

struct HelpTopic {
    int level = 2;  // 2 topic, 3 sub-topic
    QString title;
    QString anchor;
    bool operator==(const HelpTopic&) const = default;
};

struct HelpEntry {
    QString term;
    QString anchor;
    bool operator==(const HelpEntry&) const = default;
};

[[nodiscard]] QList<HelpTopic> HelpContents(const QString& html);
// Topic titles and index terms, sorted without regard to letter case.
[[nodiscard]] QList<HelpEntry> HelpIndex(const QString& html);

}  // namespace vardo
