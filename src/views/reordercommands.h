// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// cmdUp and cmdDown of one view: the picked channel changes places with its neighbour in
// this view and in the view that mirrors it, one undo step a press. Only the grids change; the
// radio hears nothing until the table is saved and restored.

#include <QObject>

#include "moverules.h"

namespace vardo {

class MemoryView;
class ViewHost;

class ReorderCommands : public QObject {
    Q_OBJECT
public:
    ReorderCommands(MemoryView& view, ViewHost& host);

    // One press: moves the picked row one row up or down within its block.
    void move(Direction direction);

Q_SIGNALS:
    void edgeReached();  // the system beep: the row is at the edge of its block

private:
    MemoryView& m_view;
    ViewHost& m_host;
};

}  // namespace vardo
