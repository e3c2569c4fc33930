// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A run of record requests framed by time, with no dead gap between them. No byte of a reply
// can arrive before its request has crossed the line and one byte has come back (ReplyWindow),
// so whatever comes sooner belongs to the reply before it. The next request therefore goes out
// as soon as a reply has its 16 bytes, and the line is watched for that window: a byte in it
// makes the earlier reply malformed. A byte an adapter or a network passes on late shows up as
// the next reply with a byte too many, so a record is kept until the reply after it has framed
// cleanly too, and both are asked for again. The last reply of a run, and one asked for the
// last time, is framed by the quiet gap instead.

#include <functional>
#include <optional>

#include <QList>
#include <QString>

#include "catframe.h"
#include "linkio.h"
#include "linkresult.h"
#include "record.h"

namespace vardo {

// A malformed reply is asked for this many times in all before the run fails.
inline constexpr int kReplyAttempts = 2;

struct RecordRequest {
    CatFrame request;
    QString what;  // "memory channel 12", for the messages
    // Commands the radio does not answer, sent once just ahead of the request.
    std::function<LinkResult()> before{};
};

struct RunEnd {
    enum class How { Done, Stopped, Silent, Malformed, Lost, Failed };
    How how = How::Done;
    qsizetype step = -1;  // the step that failed
    qsizetype bytes = 0;  // Malformed: how many bytes its last reply had
    LinkResult failure{}; // Failed: what a step's own work said
};

class RequestRun {
public:
    // Takes each record once it has framed cleanly; a failure ends the run.
    using Taker = std::function<LinkResult(qsizetype step, const Record& record)>;
    using StopFlag = std::function<bool()>;
    // Sends one frame; a failure ends the run with it.
    using Sender = std::function<LinkResult(const CatFrame& frame, const QString& what)>;

    RequestRun(LinkIo& io, Sender send, QList<RecordRequest> steps, Taker take, StopFlag stop = {});
    RunEnd run();

private:
    struct Reply {
        qsizetype step = 0;
        Record record{};
        Transport::Clock::time_point lastByteAt{};
    };
    struct Surplus {
        IoStatus status = IoStatus::Ok;
        qsizetype bytes = 0;
    };

    [[nodiscard]] bool lastAsk(qsizetype step) const { return m_failures[step] + 1 >= kReplyAttempts; }
    [[nodiscard]] bool stopAsked() const { return m_stop && m_stop(); }
    LinkResult send(qsizetype step);
    void holdBack(const Reply& open);
    Surplus watchWindow();
    Surplus watchQuiet();
    Surplus settle();
    LinkResult takeHeld();
    // Counts a malformed reply against `step` and the record kept ahead of it, and forgets both;
    // true while they may be asked for again (from m_restart on).
    bool againAfterMalformed(qsizetype step);

    LinkIo& m_io;
    Sender m_send;
    QList<RecordRequest> m_steps;
    Taker m_take;
    StopFlag m_stop;
    QList<int> m_failures;
    QList<bool> m_prepared;
    std::optional<Reply> m_open;  // all 16 bytes in, surplus not yet ruled out
    std::optional<Reply> m_held;  // framed, kept until the reply after it has framed as well
    QByteArray m_next;            // bytes of the next reply that came while its window was watched
    qsizetype m_restart = 0;
};

}  // namespace vardo
