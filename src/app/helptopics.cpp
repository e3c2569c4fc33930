// SPDX-License-Identifier: GPL-3.0-or-later
#include "helptopics.h"

#include <algorithm>

#include <QRegularExpression>

namespace vardo {

QList<HelpTopic> HelpContents(const QString& html)
{
    static const QRegularExpression heading(
        QStringLiteral(R"re(<h([23])><a name="([^"]+)">([^<]+)</a></h\1>)re"));
    QList<HelpTopic> topics;
    for (const QRegularExpressionMatch& m : heading.globalMatch(html))
        topics.append({m.captured(1).toInt(), m.captured(3).trimmed(), m.captured(2)});
    return topics;
}

QList<HelpEntry> HelpIndex(const QString& html)
{
    static const QRegularExpression extra(QStringLiteral(R"re(<!--\s*index:\s*([^|]+)\|\s*([^\s]+)\s*-->)re"));
    QList<HelpEntry> entries;
    for (const HelpTopic& topic : HelpContents(html))
        entries.append({topic.title, topic.anchor});
    for (const QRegularExpressionMatch& m : extra.globalMatch(html))
        entries.append({m.captured(1).trimmed(), m.captured(2)});
    std::stable_sort(entries.begin(), entries.end(), [](const HelpEntry& a, const HelpEntry& b) {
        return a.term.compare(b.term, Qt::CaseInsensitive) < 0;
    });
    // A heading and an extra entry may share a term: the heading, sorted first, stays.
    const auto same = [](const HelpEntry& a, const HelpEntry& b) {
        return a.term.compare(b.term, Qt::CaseInsensitive) == 0;
    };
    entries.erase(std::unique(entries.begin(), entries.end(), same), entries.end());
    return entries;
}

}  // namespace vardo
