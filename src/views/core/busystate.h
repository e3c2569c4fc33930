// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one busy predicate every view command asks first. Busy while the radio runs an
// operation or a long operation on the window thread (a file, a printout) holds a Scope.

#include <QObject>

namespace vardo {

class BusyState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    [[nodiscard]] bool busy() const { return m_radioBusy || m_depth > 0; }
    void setRadioBusy(bool busy);

    // Marks a long operation on the window thread for as long as it lives.
    class Scope {
    public:
        explicit Scope(BusyState& state);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        BusyState& m_state;
    };

Q_SIGNALS:
    void busyChanged(bool busy);

private:
    void change(bool radioBusy, int depth);

    bool m_radioBusy = false;
    int m_depth = 0;
};

}  // namespace vardo
