// Writes the desktop entry from its template, with the MIME types of every picture format the
// installed Qt image plug-ins read, so file managers offer Pixdock for exactly those files:
//   mkdesktopentry TEMPLATE OUT      (the template's @MIME_TYPES@ is replaced)
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: mkdesktopentry TEMPLATE OUT\n");
        return 2;
    }
    QFile in(args.at(1));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "mkdesktopentry: cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    QStringList types;
    for (const QByteArray &type : QImageReader::supportedMimeTypes())
        types << QString::fromLatin1(type);
    types.sort();
    types.removeDuplicates();
    QString text = QString::fromUtf8(in.readAll());
    text.replace(QStringLiteral("@MIME_TYPES@"), types.join(QLatin1Char(';')) + QLatin1Char(';'));
    QFile out(args.at(2));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "mkdesktopentry: cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}
