// SPDX-License-Identifier: GPL-3.0-or-later
#include "connectiondialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "windowkit.h"

namespace vardo {

ConnectionDialog::ConnectionDialog(const Connection& current, const QStringList& systemPorts, QWidget* parent)
    : QDialog(parent)
    , m_current(current)
    , m_shownPorts(current.ports.isEmpty() ? QString::fromLatin1(kSearchEveryPort) : current.ports.join(u", "))
{
    setObjectName(QStringLiteral("dlgConnection"));
    setWindowTitle(QStringLiteral("Connection"));
    setFont(ControlFont());

    m_port = new QComboBox(this);
    m_port->setObjectName(QStringLiteral("cboPort"));
    m_port->setEditable(true);
    m_port->setInsertPolicy(QComboBox::NoInsert);
    m_port->addItem(QString::fromLatin1(kSearchEveryPort));
    m_port->addItems(systemPorts);
    m_port->setEditText(m_shownPorts);
    m_port->setMinimumContentsLength(28);
    m_port->lineEdit()->setPlaceholderText(QStringLiteral("/dev/ttyUSB0, COM3 or tcp://HOST:PORT"));

    m_pacing = new QSpinBox(this);
    m_pacing->setObjectName(QStringLiteral("spnPacing"));
    m_pacing->setRange(0, Cat::kMaxPacing);
    m_pacing->setSuffix(QStringLiteral(" ms"));
    m_pacing->setValue(current.pacing);

    m_emulator = new QCheckBox(QStringLiteral("Use the built-in emulator"), this);
    m_emulator->setObjectName(QStringLiteral("chkEmulator"));
    m_emulator->setChecked(current.simulate);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Port:"), m_port);
    form->addRow(QStringLiteral("P&acing between reply bytes:"), m_pacing);
    form->addRow(QString(), m_emulator);

    auto* note = new QLabel(QStringLiteral("The port and the pacing are remembered for the next start; the "
                                           "emulator is used for this run only. A change takes effect at once: "
                                           "the radio is looked for again."),
                            this);
    note->setObjectName(QStringLiteral("lblConnectionNote"));
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ConnectionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

QStringList ConnectionDialog::typedPorts() const
{
    const QString text = m_port->currentText().trimmed();
    if (text.isEmpty() || text == QLatin1String(kSearchEveryPort))
        return {};
    QStringList ports;
    for (const QString& name : text.split(u',', Qt::SkipEmptyParts)) {
        if (!name.trimmed().isEmpty())
            ports << name.trimmed();
    }
    return ports;
}

Connection ConnectionDialog::connection() const
{
    Connection chosen;
    chosen.ports = m_port->currentText() == m_shownPorts ? m_current.ports : typedPorts();
    chosen.pacing = m_pacing->value();
    chosen.simulate = m_emulator->isChecked();
    return chosen;
}

void ConnectionDialog::accept()
{
    for (const QString& name : typedPorts()) {
        if (const std::optional<QString> problem = PortNameProblem(name)) {
            ShowMessage(this, *problem);
            m_port->setFocus();
            return;
        }
    }
    QDialog::accept();
}

}  // namespace vardo
