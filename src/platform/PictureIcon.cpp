#include "platform/PictureIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

struct Picture
{
    QSize size;
    QString file;
    QPixmap pixmap = QPixmap(); // read on first use
};

using Look = std::vector<Picture>;

// The pictures of a folder, smallest first.
Look readFolder(const QString& path, QList<int> sides)
{
    Look look;
    if (path.isEmpty())
        return look;
    std::sort(sides.begin(), sides.end());
    for (const int side : sides)
        look.push_back({QSize(side, side), QStringLiteral("%1/%2x%2.png").arg(path).arg(side)});
    return look;
}

class PictureIconEngine : public QIconEngine
{
public:
    explicit PictureIconEngine(std::array<Look, 4> looks) : m_looks(std::move(looks)) {}

    QIconEngine* clone() const override { return new PictureIconEngine(*this); }
    QString key() const override { return QStringLiteral("PictureIconEngine"); }
    bool isNull() override { return m_looks[QIcon::Normal].empty(); }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const Picture& p : m_looks[mode])
            sizes.append(p.size);
        return sizes;
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        const Picture* p = best(size, mode);
        if (!p)
            return QSize();
        QSize actual = p->size;
        if (actual.width() > size.width() || actual.height() > size.height())
            actual.scale(size, Qt::KeepAspectRatio);
        return actual;
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        Picture* p = best(size, mode);
        if (!p)
            return QPixmap();
        const QSize actual = actualSize(size, mode, state);
        const bool worked = mode != QIcon::Normal && m_looks[mode].empty();
        if (p->pixmap.size() == actual && !worked)
            return p->pixmap;
        const auto key = std::make_pair(int(mode), actual);
        for (const auto& [drawn, pm] : m_drawn) {
            if (drawn == key)
                return pm;
        }
        if (p->pixmap.isNull()) {
            // PNG by construction: named, the format keeps Qt from loading every image plugin
            // to ask whether it knows the file.
            QImageReader reader(p->file, "png");
            reader.setAutoDetectImageFormat(false);
            p->pixmap = QPixmap::fromImage(reader.read());
        }
        QPixmap pm = p->pixmap;
        if (pm.isNull())
            return pm;
        if (pm.size() != actual)
            pm = pm.scaled(actual, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (worked) {
            if (const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
                QStyleOption option;
                option.palette = QApplication::palette();
                const QPixmap generated = app->style()->generatedIconPixmap(mode, pm, &option);
                if (!generated.isNull())
                    pm = generated;
            }
        }
        if (pm.size() != p->pixmap.size() || worked)
            m_drawn.emplace_back(key, pm);
        return pm;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPaintDevice* device = painter->device();
        const qreal ratio = device ? device->devicePixelRatio() : qApp->devicePixelRatio();
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

private:
    // The picture that a size is drawn from: the same size, else the next larger one, else the
    // largest there is. A look without pictures of its own uses the normal ones.
    Picture* best(const QSize& size, QIcon::Mode mode)
    {
        Look& look = m_looks[mode].empty() ? m_looks[QIcon::Normal] : m_looks[mode];
        if (look.empty())
            return nullptr;
        for (Picture& p : look) {
            if (p.size.width() >= size.width() && p.size.height() >= size.height())
                return &p;
        }
        return &look.back();
    }

    std::array<Look, 4> m_looks; // by QIcon::Mode; the state is not told apart
    // Pictures drawn at another size or worked out for a look, by look and size.
    std::vector<std::pair<std::pair<int, QSize>, QPixmap>> m_drawn;
};

} // namespace

namespace PictureIcon {

QIcon fromFolders(const QList<int>& sides, const QString& normal, const QString& disabled,
                  const QString& active)
{
    std::array<Look, 4> looks;
    looks[QIcon::Normal] = readFolder(normal, sides);
    looks[QIcon::Disabled] = readFolder(disabled, sides);
    looks[QIcon::Active] = readFolder(active, sides);
    return QIcon(new PictureIconEngine(std::move(looks)));
}

} // namespace PictureIcon
