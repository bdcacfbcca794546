// Renders the application icon into the PNG sizes of the desktop's icon theme at build time:
//   kestrava_render_icon <icon.svg> <output folder> <size>...
// writes <output folder>/<size>x<size>.png for each size. Uses Qt's SVG image plugin, so the
// PNGs always follow the SVG.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv); // fonts for the icon's text
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fputs("usage: kestrava_render_icon <icon.svg> <output folder> <size>...\n", stderr);
        return 2;
    }
    const QDir out(args.at(2));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(out.path()));
        return 1;
    }
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size <= 0 || size > 4096) {
            std::fprintf(stderr, "not a size: %s\n", qPrintable(args.at(i)));
            return 2;
        }
        QImageReader reader(args.at(1));
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        if (image.isNull()) {
            std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(args.at(1)),
                         qPrintable(reader.errorString()));
            return 1;
        }
        const QString file = out.filePath(QStringLiteral("%1x%1.png").arg(size));
        if (!image.convertToFormat(QImage::Format_ARGB32).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
