#include "platform/DeferredIcon.h"

#include <QIconEngine>
#include <QPainter>

#include <memory>

namespace {

// The icon, made when first asked for; shared by the clones, since it is the same icon.
struct Maker
{
    std::function<QIcon()> make;
    QIcon icon;
    bool made = false;

    const QIcon& get()
    {
        if (!made) {
            icon = make();
            made = true;
            make = nullptr;
        }
        return icon;
    }
};

class DeferredIconEngine : public QIconEngine
{
public:
    explicit DeferredIconEngine(std::shared_ptr<Maker> maker) : m_maker(std::move(maker)) {}

    QIconEngine* clone() const override { return new DeferredIconEngine(m_maker); }
    QString key() const override { return QStringLiteral("DeferredIconEngine"); }
    bool isNull() override { return m_maker->made && m_maker->icon.isNull(); }

    // Sizes here are in device pixels, so the made icon is asked at a ratio of 1.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return m_maker->get().pixmap(size, 1.0, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return pixmap(size, mode, state).size();
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        m_maker->get().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return m_maker->get().availableSizes(mode, state);
    }

private:
    std::shared_ptr<Maker> m_maker;
};

} // namespace

namespace DeferredIcon {

QIcon make(std::function<QIcon()> make)
{
    return QIcon(
        new DeferredIconEngine(std::make_shared<Maker>(Maker{std::move(make), {}, false})));
}

} // namespace DeferredIcon
