// SPDX-License-Identifier: GPL-3.0-or-later
#include "linkwatch.h"

namespace vardo {
namespace {

// Hands every call to the transport it wraps, then notes whether that one is open. The link
// opens and closes many transports during a search; the last one used is the one that counts.
class WatchedTransport final : public Transport {
public:
    WatchedTransport(std::unique_ptr<Transport> inner, std::shared_ptr<std::atomic<bool>> open)
        : m_inner(std::move(inner)), m_open(std::move(open))
    {
    }

    [[nodiscard]] QString portName() const override { return m_inner->portName(); }
    bool open() override { return noted(m_inner->open()); }
    [[nodiscard]] bool missing() const override { return m_inner->missing(); }
    void close() override
    {
        m_inner->close();
        noted(true);
    }
    [[nodiscard]] bool isOpen() const override { return noted(m_inner->isOpen()); }
    IoStatus write(const QByteArray& bytes) override { return noted(m_inner->write(bytes)); }
    void clearInput() override
    {
        m_inner->clearInput();
        noted(true);
    }
    IoStatus readAtLeast(qsizetype count, std::chrono::milliseconds timeout, QByteArray& out) override
    {
        return noted(m_inner->readAtLeast(count, timeout, out));
    }
    IoStatus readAfter(std::chrono::milliseconds wait, QByteArray& out) override
    {
        return noted(m_inner->readAfter(wait, out));
    }
    [[nodiscard]] bool takesLineTime() const override { return m_inner->takesLineTime(); }
    IoStatus drain(std::chrono::milliseconds bound) override { return noted(m_inner->drain(bound)); }
    [[nodiscard]] QString errorString() const override { return m_inner->errorString(); }

private:
    template <typename Result>
    Result noted(Result result) const
    {
        m_open->store(m_inner->isOpen());
        return result;
    }

    std::unique_ptr<Transport> m_inner;
    std::shared_ptr<std::atomic<bool>> m_open;
};

}  // namespace

TransportFactory LinkWatch::watch(TransportFactory factory) const
{
    return [factory = std::move(factory), open = m_open](const QString& name) -> std::unique_ptr<Transport> {
        std::unique_ptr<Transport> inner = factory(name);
        if (!inner)
            return nullptr;
        return std::make_unique<WatchedTransport>(std::move(inner), open);
    };
}

}  // namespace vardo
