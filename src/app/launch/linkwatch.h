// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether the port the radio was found on is still open, as the radio thread left it at the end
// of its last request: the windows then tell a lost link ("Radio link lost") from a radio that
// is still connected, until a later request reopens the link.

#include <atomic>
#include <memory>

#include "transport.h"

namespace vardo {

class LinkWatch {
public:
    // `factory`'s transports, each noting after every call whether it is open.
    [[nodiscard]] TransportFactory watch(TransportFactory factory) const;
    // Read on the window thread once a request has ended.
    [[nodiscard]] bool open() const { return m_open->load(); }

private:
    std::shared_ptr<std::atomic<bool>> m_open = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace vardo
