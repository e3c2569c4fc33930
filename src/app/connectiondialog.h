// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Connection dialog (dlgConnection): where the radio is looked for (cboPort: "Search every
// port", one of the system's serial ports, or a typed name such as tcp://HOST:PORT; several
// names separated by commas are tried in turn), the pacing (spnPacing) and the built-in
// emulator (chkEmulator). OK refuses a network address that cannot be used, and says why.

#include <QDialog>

#include "connection.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace vardo {

inline constexpr char kSearchEveryPort[] = "Search every port";

class ConnectionDialog : public QDialog {
    Q_OBJECT
public:
    ConnectionDialog(const Connection& current, const QStringList& systemPorts, QWidget* parent = nullptr);

    // What the operator chose; the ports as they were when the port box was left alone.
    [[nodiscard]] Connection connection() const;
    void accept() override;

private:
    [[nodiscard]] QStringList typedPorts() const;

    Connection m_current;
    QString m_shownPorts;  // the port box's text as the dialog opened
    QComboBox* m_port = nullptr;
    QSpinBox* m_pacing = nullptr;
    QCheckBox* m_emulator = nullptr;
};

}  // namespace vardo
