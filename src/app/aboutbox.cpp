// SPDX-License-Identifier: GPL-3.0-or-later
#include "aboutbox.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "launch.h"
#include "windowkit.h"

namespace vardo {
namespace {

QLabel* AddLabel(QVBoxLayout* layout, const char* name, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return label;
}

}  // namespace

AboutBox::AboutBox(const QString& dataDir, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Vardo"));
    setModal(false);
    setFont(ControlFont());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    AddLabel(layout, "Label1", QString());
    QLabel* title = AddLabel(layout, "Label2", QString::fromLatin1(kProgramTitle));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    AddLabel(layout, "lblVersion", QStringLiteral("Version " VARDO_VERSION));
    QLabel* folder = AddLabel(layout, "lblDataDir",
                              QStringLiteral("Saved memory files are kept in:\n%1\n%2")
                                  .arg(QDir::toNativeSeparators(dataDir), DataFolderReason(dataDir)));
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    layout->addLayout(Centred(ok));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace vardo
