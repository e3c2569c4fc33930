// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpwindow.h"

#include <algorithm>

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "helptopics.h"
#include "windowkit.h"

namespace vardo {
namespace {

constexpr int kAnchorRole = Qt::UserRole;
constexpr QSize kStartSize{860, 600};
constexpr int kItemPadding = 16;  // pixels around a contents line's text

[[nodiscard]] QString HelpText()
{
    QFile file(QString::fromLatin1(kHelpResource));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<p>The help text is missing from this copy of Vardo.</p>");
    return QString::fromUtf8(file.readAll());
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Vardo Help"));
    setModal(false);
    setFont(ControlFont());
    const QString html = HelpText();

    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("tabHelp"));
    tabs->addTab(buildContents(html), QStringLiteral("Contents"));
    tabs->addTab(buildIndex(html), QStringLiteral("Index"));

    m_browser = new QTextBrowser;
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setAccessibleName(QStringLiteral("Help text"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setHtml(html);

    auto* splitter = new QSplitter;
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);
    // Within the screen, however large the text is scaled.
    resize(kStartSize.boundedTo(screen()->availableSize()));
}

QWidget* HelpWindow::buildContents(const QString& html)
{
    m_contents = new QTreeWidget;
    m_contents->setObjectName(QStringLiteral("treeContents"));
    m_contents->setHeaderHidden(true);
    m_contents->setAccessibleName(QStringLiteral("Contents"));
    QTreeWidgetItem* parent = nullptr;
    for (const HelpTopic& topic : HelpContents(html)) {
        auto* item = topic.level == 3 && parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_contents);
        item->setText(0, topic.title);
        item->setData(0, kAnchorRole, topic.anchor);
        if (topic.level == 2)
            parent = item;
    }
    m_contents->expandAll();
    // Every title whole: the contents are never narrower than their longest line.
    int widest = 0;
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        const int depth = (*it)->parent() ? 2 : 1;  // the branch marks take an indentation too
        widest = std::max(widest, m_contents->fontMetrics().horizontalAdvance((*it)->text(0))
                                      + depth * m_contents->indentation());
    }
    m_contents->setMinimumWidth(widest + kItemPadding + 2 * m_contents->frameWidth()
                                + m_contents->verticalScrollBar()->sizeHint().width());
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, kAnchorRole).toString()); });
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, kAnchorRole).toString()); });
    return m_contents;
}

QWidget* HelpWindow::buildIndex(const QString& html)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* prompt = new QLabel(QStringLiteral("Type the first letters of the word you are looking for:"));
    prompt->setWordWrap(true);
    m_lookFor = new QLineEdit;
    m_lookFor->setObjectName(QStringLiteral("txtIndex"));
    m_index = new QListWidget;
    m_index->setObjectName(QStringLiteral("lstIndex"));
    m_index->setAccessibleName(QStringLiteral("Index"));
    prompt->setBuddy(m_lookFor);
    for (const HelpEntry& entry : HelpIndex(html)) {
        auto* item = new QListWidgetItem(entry.term, m_index);
        item->setData(kAnchorRole, entry.anchor);
    }
    layout->addWidget(prompt);
    layout->addWidget(m_lookFor);
    layout->addWidget(m_index);
    connect(m_lookFor, &QLineEdit::textChanged, this, &HelpWindow::filterIndex);
    connect(m_lookFor, &QLineEdit::returnPressed, this, [this] {
        if (const QListWidgetItem* item = m_index->currentItem())
            showTopic(item->data(kAnchorRole).toString());
    });
    connect(m_index, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showTopic(item->data(kAnchorRole).toString()); });
    connect(m_index, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showTopic(item->data(kAnchorRole).toString()); });
    return page;
}

void HelpWindow::filterIndex(const QString& text)
{
    // Selects the first entry that starts with what was typed, as a help index does.
    for (int i = 0; i < m_index->count(); ++i) {
        if (m_index->item(i)->text().startsWith(text.trimmed(), Qt::CaseInsensitive)) {
            m_index->setCurrentRow(i);
            m_index->scrollToItem(m_index->item(i), QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void HelpWindow::showTopic(const QString& anchor)
{
    m_browser->scrollToAnchor(anchor);
}

}  // namespace vardo
