// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "windowkit.h"

namespace vardo {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("vovAzidi"));
    setWindowTitle(QStringLiteral("Vardo for Windows"));
    setCentralWidget(buildBody());
    buildMenu();
    // Names the radio once the search has found it.
    ShowRadioLine(*this, QString());
    setFont(ControlFont());
    setOptionChecked(ViewKind::All);
}

QWidget* MainWindow::buildBody()
{
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(10);

    auto* title = new QLabel(QString::fromLatin1(kTitleLine), body);
    title->setObjectName(QStringLiteral("Label1"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);

    auto* prompt = new QLabel(QStringLiteral("Select a Memory Operation:"), body);
    prompt->setObjectName(QStringLiteral("Label2"));
    layout->addWidget(prompt);

    m_options = AddViewOptions(*body, *layout, [this](ViewKind kind) { Q_EMIT viewChosen(kind); });

    auto* exit = new QPushButton(QStringLiteral("&Exit"), body);
    exit->setObjectName(QStringLiteral("cmdExit"));
    exit->setAutoDefault(false);
    layout->addLayout(Centred(exit));
    connect(exit, &QPushButton::clicked, this, &MainWindow::exitRequested);
    return body;
}

void MainWindow::buildMenu()
{
    QMenu* radio = menuBar()->addMenu(QStringLiteral("&Radio"));
    radio->setObjectName(QStringLiteral("mnuRadio"));
    QAction* connection = radio->addAction(QStringLiteral("&Connection..."));
    connection->setObjectName(QStringLiteral("itmConnection"));
    connect(connection, &QAction::triggered, this, &MainWindow::connectionRequested);
    AddHelpMenu(*this, [this] { Q_EMIT helpRequested(); }, [this] { Q_EMIT aboutRequested(); });
}

void MainWindow::setOptionChecked(ViewKind kind)
{
    SetOptionQuietly(*m_options.at(static_cast<qsizetype>(kind)));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();  // the program closes every window together
    Q_EMIT exitRequested();
}

}  // namespace vardo
