#include "StyleSheetReader.h"

#include "core/Failure.h"
#include "system/AnsiCodePage.h"
#include "system/OptionalFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

// Qt's own reader of style sheets: the only use of its private headers in the skin.
#include <private/qcssparser_p.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace tallyclock {

namespace {

// An image of a skin is no larger than the pointer image may be; the window is 536 by
// 426 pixels, and all the images of one skin together are at most 16 MiB of files that
// hold 16 M pixels (64 MB once Qt has read them).
constexpr qint64 maxImageBytes = 1024 * 1024;
constexpr qint64 maxImagesBytes = 16 * maxImageBytes;
constexpr int maxImageSide = 4096;
constexpr qint64 maxImagePixels = qint64(4096) * 4096;

Failure notValid(const QString &why)
{
    return Failure(QStringLiteral("The skin file is not a valid skin: ") + why);
}

// Refuses a value of `property` (lower case; empty outside a declaration, where any
// number is judged) that makes the work grow. Qt reads a length from a value's text,
// whatever the value's kind ("99999" in quotes too): the number before a unit, with an
// exponent ("1e4px"), "inf" as infinity. A font takes its size only from a number with
// a unit; a bare number there is a weight.
void judge(const QString &value, QCss::TokenType kind, const QString &property)
{
    // The properties whose lengths make Qt lay out or paint a larger area. Maximum sizes
    // and radii (Qt clamps a radius to its box) are not among them.
    static const QRegularExpression growsWork(QRegularExpression::anchoredPattern(
        u"(min-)?(width|height)|(margin|padding)(-top|-right|-bottom|-left)?|border-image"
        u"|(border|outline)(-top|-right|-bottom|-left)?(-width)?|outline-offset|spacing"
        u"|icon-size|font(-size)?|(letter|word)-spacing|line-height|text-indent"));
    if ((!property.isEmpty() && !growsWork.match(property).hasMatch())
        || (property.startsWith(u"font") && kind != QCss::LENGTH))
        return;

    QStringView number(value);
    if (kind == QCss::STRING)
        number = number.mid(1).chopped(number.size() > 1 ? 1 : 0);
    if (kind == QCss::PERCENTAGE)
        number.chop(1);
    QString unit = number.right(2).toString().toLower();
    if (unit == u"px" || unit == u"pt" || unit == u"em" || unit == u"ex")
        number.chop(2);
    else
        unit.clear();
    const double limit = unit == u"pt" ? 375 : unit == u"em" || unit == u"ex" ? 30 : 500;

    const auto digits = std::find_if(
        number.begin(), number.end(), [](QChar c) { return (c < u'0' || c > u'9') && c != u'.'; });
    const double read = number.toDouble();
    const double leading = number.first(digits - number.begin()).toDouble();
    if (!std::isfinite(read) || std::abs(read) > limit || leading > limit)
        throw notValid(
            QStringLiteral("%1 is larger than %2%3")
                .arg(value, QString::number(limit), unit.isEmpty() ? QStringLiteral(" px") : unit));
}

class Images
{
public:
    explicit Images(const QString &skinFolder)
        : m_folder(QDir::cleanPath(QDir(skinFolder).absolutePath()))
        , m_skins(QFileInfo(m_folder).dir())
    { }

    // What Qt gets for an image name of the sheet: url() with the name, made absolute
    // (Qt would otherwise look in the working directory), in quotes.
    QString image(const QString &name)
    {
        QString path = name;
        if (!name.isEmpty() && !name.startsWith(QLatin1String(":/"))) {
            path = QDir::cleanPath(QDir(m_folder).absoluteFilePath(name));
            // A folder of the skins folder: the skin's own or a sibling ("../common/").
            const QString inSkins = m_skins.relativeFilePath(path);
            if (QDir::isAbsolutePath(name) || inSkins.startsWith(QLatin1String("../"))
                || !inSkins.contains(u'/'))
                throw notValid(name + QStringLiteral(" is outside the skins folder"));
        }
        // Qt reads these in a string as the string's end or as an escape.
        static const QRegularExpression unreadable(
            QStringLiteral("[\\\\\n\f\r\\x{0}]|\".*'|'.*\""));
        if (path.contains(unreadable))
            throw notValid(name + QStringLiteral(" is not an image name Qt can read"));
        const QChar quote = path.contains(u'"') ? u'\'' : u'"';
        const QString url = QStringLiteral("url(") + quote + path + quote + u')';
        // A missing image only shows nothing; one that is there must be a small, regular
        // file: Qt would block on a FIFO and read a huge image whole.
        if (path.isEmpty() || path.startsWith(u':') || !QFileInfo::exists(path)
            || m_checked.contains(path))
            return url;
        m_checked.insert(path);
        QByteArray bytes = readOptionalFile(path, maxImageBytes);
        m_bytes += bytes.size();
        if (m_bytes > maxImagesBytes)
            throw notValid(QStringLiteral("the images are larger than %1 MiB together")
                               .arg(maxImagesBytes / maxImageBytes));
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const QSize size = QImageReader(&buffer).size();
        if (size.width() > maxImageSide || size.height() > maxImageSide)
            throw notValid(QDir::toNativeSeparators(path)
                + QStringLiteral(" is larger than %1 by %1 pixels").arg(maxImageSide));
        m_pixels += qint64(std::max(size.width(), 0)) * std::max(size.height(), 0);
        if (m_pixels > maxImagePixels)
            throw notValid(
                QStringLiteral("the images hold more than %1 pixels").arg(maxImagePixels));
        return url;
    }

private:
    QString m_folder;
    QDir m_skins; // the folder that holds the skin's folder
    QSet<QString> m_checked;
    qint64 m_bytes = 0;
    qint64 m_pixels = 0;
};

} // namespace

QString boundedStyleSheet(const QString &styleSheet, const QString &skinFolder)
{
    // Qt's tokens, after its first step that replaces escapes ("\39") everywhere. They
    // end where Qt stops reading: at a character that starts none.
    QCss::Parser parser;
    const QString text = QCss::Scanner::preprocess(styleSheet);
    QCss::Scanner::scan(text, &parser.symbols);
    const QList<QCss::Symbol> &symbols = parser.symbols;
    Images images(skinFolder);

    // Qt gets the sheet judged here, with only the image names replaced.
    QString bounded;
    QString name; // the last token before white space, if it was a name
    QString property; // of the declaration being read; empty outside one
    for (qsizetype k = 0; k < symbols.size(); ++k) {
        const QCss::Symbol &symbol = symbols.at(k);
        const QString lexem = symbol.lexem();
        switch (symbol.token) {
        case QCss::INVALID:
            throw notValid(QStringLiteral("a string that is never closed"));
        case QCss::COLON: // "name :" starts a declaration, wherever it stands
            property = name.toLower();
            break;
        case QCss::SEMICOLON:
        case QCss::LBRACE:
        case QCss::RBRACE:
            property.clear();
            break;
        case QCss::IDENT:
            if (lexem.startsWith(QLatin1String("qproperty-"), Qt::CaseInsensitive))
                throw notValid(QStringLiteral("a property (qproperty-)"));
            [[fallthrough]];
        case QCss::STRING:
        case QCss::NUMBER:
        case QCss::PERCENTAGE:
        case QCss::LENGTH:
            judge(lexem, symbol.token, property);
            break;
        case QCss::FUNCTION:
            if (lexem.compare(u"url(", Qt::CaseInsensitive) == 0) {
                // Qt's image name: up to the ")" that closes "url(", without its quotes.
                // Qt 6.4 and 6.8 load no image from "URL(" in capitals; it is refused, so
                // that no Qt that reads capitals too finds an image that was not checked.
                QCss::Value image;
                parser.index = int(k) + 1;
                if (lexem != u"url(" || !parser.parseTerm(&image))
                    throw notValid(QStringLiteral("an image name that cannot be read"));
                for (k = parser.index - 1; symbols.at(k).token == QCss::S;)
                    --k;
                bounded += images.image(image.variant.toString());
                name.clear();
                continue;
            }
            break;
        default:
            break;
        }
        if (symbol.token != QCss::S)
            name = symbol.token == QCss::IDENT ? lexem : QString();
        bounded += QStringView(text).mid(symbol.start, symbol.len);
    }
    // The rest as it stands: Qt stops reading there again.
    bounded += QStringView(text).sliced(
        symbols.isEmpty() ? 0 : symbols.last().start + symbols.last().len);
    // Qt replaces escapes again: a backslash that it would read as one is written as one.
    static const QRegularExpression escape(QStringLiteral("\\\\(?=[0-9a-fA-F])"));
    return bounded.replace(escape, QStringLiteral("\\00005c"));
}

QString skinStyleSheet(const QByteArray &bytes, const QString &skinFolder)
{
    const bool littleEndian = bytes.startsWith("\xFF\xFE");
    const bool utf16 = littleEndian || bytes.startsWith("\xFE\xFF");
    // The decoder drops the byte-order mark.
    QStringDecoder decoder(utf16 ? littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE
                                 : QStringDecoder::Utf8,
        QStringDecoder::Flag::Stateless);
    std::optional<QString> text = decoder(bytes);
    if (decoder.hasError() || !text->isValidUtf16() || (utf16 && bytes.size() % 2 != 0))
        text = utf16 || bytes.startsWith("\xEF\xBB\xBF") ? std::nullopt : fromAnsiCodePage(bytes);
    if (!text || text->contains(QChar(u'\0')))
        throw notValid(QStringLiteral("not text"));
    return boundedStyleSheet(*text, skinFolder);
}

} // namespace tallyclock
