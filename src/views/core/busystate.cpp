// SPDX-License-Identifier: GPL-3.0-or-later
#include "busystate.h"

namespace vardo {

void BusyState::setRadioBusy(bool busy)
{
    change(busy, m_depth);
}

void BusyState::change(bool radioBusy, int depth)
{
    const bool before = this->busy();
    m_radioBusy = radioBusy;
    m_depth = depth;
    if (this->busy() != before)
        Q_EMIT busyChanged(this->busy());
}

BusyState::Scope::Scope(BusyState& state) : m_state(state)
{
    m_state.change(m_state.m_radioBusy, m_state.m_depth + 1);
}

BusyState::Scope::~Scope()
{
    m_state.change(m_state.m_radioBusy, m_state.m_depth - 1);
}

}  // namespace vardo
