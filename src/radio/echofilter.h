// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Some CAT interfaces hear their own transmission: every byte sent comes back, in order, in
// among whatever the radio sends. Once the link knows its interface does that, a byte that
// arrives while its own byte of that value is due back is taken as the echo, wherever it falls:
// ahead of a reply, in a gap, inside a window. An echo that never comes is forgotten once its
// time is up, so an interface that stops echoing cannot eat replies.

#include <chrono>
#include <deque>

#include <QByteArray>

namespace vardo {

class EchoFilter {
public:
    using Clock = std::chrono::steady_clock;

    void setEchoing(bool on)
    {
        m_on = on;
        m_due.clear();
    }
    [[nodiscard]] bool echoing() const { return m_on; }

    // Bytes handed to the port, whose echo must be back by `until`.
    void sent(const QByteArray& bytes, Clock::time_point until)
    {
        if (!m_on)
            return;
        for (char byte : bytes)
            m_due.push_back({byte, until});
    }

    // What arrived (seen at `at`) without the echo in it.
    [[nodiscard]] QByteArray strip(const QByteArray& arrived, Clock::time_point at)
    {
        while (!m_due.empty() && m_due.front().until < at)
            m_due.pop_front();
        QByteArray rest;
        for (char byte : arrived) {
            if (!m_due.empty() && m_due.front().byte == byte)
                m_due.pop_front();
            else
                rest += byte;
        }
        return rest;
    }

private:
    struct Due {
        char byte;
        Clock::time_point until;
    };
    std::deque<Due> m_due;
    bool m_on = false;
};

}  // namespace vardo
