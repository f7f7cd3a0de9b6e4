#include "StyleSheetReader.h"

#include "core/Failure.h"
#include "system/AnsiCodePage.h"
#include "system/OptionalFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QList>
#include <QSet>
#include <QStringDecoder>

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

bool hasUnpairedSurrogate(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            return true;
    }
    return false;
}

std::optional<QString> strictly(QStringDecoder::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QString> decode(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return strictly(QStringDecoder::Utf8, bytes.sliced(3));
    const bool littleEndian = bytes.startsWith("\xFF\xFE");
    if (littleEndian || bytes.startsWith("\xFE\xFF")) {
        if (bytes.size() % 2 != 0)
            return std::nullopt;
        auto text = strictly(
            littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE, bytes.sliced(2));
        if (!text || hasUnpairedSurrogate(*text))
            return std::nullopt;
        return text;
    }
    if (auto text = strictly(QStringDecoder::Utf8, bytes))
        return text;
    return fromAnsiCodePage(bytes);
}

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The sheet after Qt's first step, which replaces every "\" and 1 to 6 hex digits that
// give a 16-bit code by that character, anywhere (in comments and strings too). A
// character that is not replaced keeps its backslash. `origin` maps each character
// back to where it starts in the sheet, and the end to the sheet's end.
struct Unescaped
{
    QString text;
    QList<qsizetype> origin;
};

Unescaped replaceEscapes(const QString &sheet)
{
    Unescaped out;
    out.text.reserve(sheet.size());
    out.origin.reserve(sheet.size() + 1);
    qsizetype i = 0;
    while (i < sheet.size()) {
        const qsizetype from = i++;
        QChar c = sheet.at(from);
        if (c == u'\\') {
            // Qt counts up to seven digits and reads the first six.
            qsizetype digits = 0;
            while (i + digits < sheet.size() && digits < 7
                && isHexDigit(sheet.at(i + digits).unicode()))
                ++digits;
            digits = std::min<qsizetype>(digits, 6);
            bool ok = false;
            const ushort code = digits ? QStringView(sheet).mid(i, digits).toUShort(&ok, 16) : 0;
            if (ok) {
                c = QChar(code);
                i += digits;
            }
        }
        out.text += c;
        out.origin += from;
    }
    out.origin += sheet.size();
    return out;
}

enum class Kind {
    Space, // white space or a comment
    String,
    Ident,
    Function, // a name and "("
    Number,
    Percentage,
    Length, // a number and a unit (any name)
    Colon,
    Semicolon,
    LeftBrace,
    RightBrace,
    LeftParen,
    RightParen,
    LeftBracket,
    RightBracket,
    Other,
};

struct Token
{
    Kind kind;
    qsizetype start;
    qsizetype end;
};

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isNameStart(char16_t c)
{
    return c == u'_' || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 256;
}

bool isNameChar(char16_t c)
{
    return isNameStart(c) || isDigit(c) || c == u'-';
}

// What may follow a backslash once the escapes with hex digits are replaced (Qt's
// scanner reads no other).
bool isEscaped(char16_t c)
{
    return c != 0 && c != u'\n' && c != u'\f' && c != u'\r' && !isDigit(c)
        && !(c >= u'a' && c <= u'f');
}

// Qt's scanner: the longest token at each place; it stops, and Qt reads nothing
// further, at a character that starts none. `stop` is where it stopped.
QList<Token> tokenize(const QString &text, qsizetype &stop)
{
    const qsizetype n = text.size();
    auto at = [&](qsizetype i) -> char16_t { return i < n ? text.at(i).unicode() : 0; };
    auto escapeAt = [&](qsizetype i) { return at(i) == u'\\' && isEscaped(at(i + 1)); };
    auto nameStartsAt = [&](qsizetype i) { return isNameStart(at(i)) || escapeAt(i); };
    auto nameEnd = [&](qsizetype i) {
        for (;;) {
            if (isNameChar(at(i)))
                ++i;
            else if (escapeAt(i))
                i += 2;
            else
                return i;
        }
    };

    QList<Token> tokens;
    qsizetype p = 0;
    while (p < n) {
        const char16_t c = at(p);
        Kind kind = Kind::Other;
        qsizetype end = p + 1;
        if (isSpace(c)) {
            end = p;
            while (isSpace(at(end)))
                ++end;
            // White space joins the combinator or brace after it.
            const char16_t next = at(end);
            kind = next == u'{' ? Kind::LeftBrace : Kind::Other;
            if (next == u'{' || next == u'+' || next == u',' || next == u'>' || next == u'~')
                ++end;
            else
                kind = Kind::Space;
        } else if (c == u'/' && at(p + 1) == u'*') {
            // A comment that is never closed runs to the last character, which Qt
            // still reads as a token of its own.
            kind = Kind::Space;
            end = p + 2;
            for (qsizetype i = end; i < n - 1; ++i) {
                if (at(i) == u'*' && at(i + 1) == u'/') {
                    end = i + 2;
                    break;
                }
                end = i + 1;
            }
        } else if (c == u'"' || c == u'\'') {
            kind = Kind::String;
            qsizetype i = p + 1;
            for (;;) {
                const char16_t d = at(i);
                if (d == 0 || d == u'\n' || d == u'\f' || d == u'\r')
                    throw notValid(QStringLiteral("a string that is never closed"));
                if (d == c)
                    break;
                if (d != u'\\')
                    ++i;
                else if (at(i + 1) == u'\r' && at(i + 2) == u'\n')
                    i += 3;
                else if (at(i + 1) == u'\n' || at(i + 1) == u'\f' || at(i + 1) == u'\r'
                    || isEscaped(at(i + 1)))
                    i += 2;
                else
                    throw notValid(QStringLiteral("a string that is never closed"));
            }
            end = i + 1;
        } else if (isDigit(c) || (c == u'.' && isDigit(at(p + 1)))) {
            qsizetype i = p;
            while (isDigit(at(i)))
                ++i;
            if (at(i) == u'.' && isDigit(at(i + 1))) {
                ++i;
                while (isDigit(at(i)))
                    ++i;
            }
            kind = Kind::Number;
            end = i;
            if (at(i) == u'%') {
                kind = Kind::Percentage;
                end = i + 1;
            } else if (nameStartsAt(i) || (at(i) == u'-' && nameStartsAt(i + 1))) {
                kind = Kind::Length;
                end = nameEnd(i + (at(i) == u'-' ? 1 : 0));
            }
        } else if (nameStartsAt(p) || (c == u'-' && nameStartsAt(p + 1))) {
            end = nameEnd(p + (c == u'-' ? 1 : 0));
            kind = Kind::Ident;
            if (at(end) == u'(') {
                kind = Kind::Function;
                ++end;
            }
        } else if (c == u'#' && (isNameChar(at(p + 1)) || escapeAt(p + 1))) {
            end = nameEnd(p + 1);
        } else if (c == u'@' && nameStartsAt(p + 1 + (at(p + 1) == u'-' ? 1 : 0))) {
            end = nameEnd(p + 1 + (at(p + 1) == u'-' ? 1 : 0));
        } else {
            switch (c) {
            case u':':
                kind = Kind::Colon;
                break;
            case u';':
                kind = Kind::Semicolon;
                break;
            case u'{':
                kind = Kind::LeftBrace;
                break;
            case u'}':
                kind = Kind::RightBrace;
                break;
            case u'(':
                kind = Kind::LeftParen;
                break;
            case u')':
                kind = Kind::RightParen;
                break;
            case u'[':
                kind = Kind::LeftBracket;
                break;
            case u']':
                kind = Kind::RightBracket;
                break;
            case u'!':
            case u'+':
            case u',':
            case u'.':
            case u'/':
            case u'=':
            case u'>':
                break;
            case u'*':
            case u'~':
            case u'|':
                end += at(p + 1) == u'=' ? 1 : 0;
                break;
            case u'-':
                end += at(p + 1) == u'-' && at(p + 2) == u'>' ? 2 : 0;
                break;
            case u'$':
            case u'^':
                if (at(p + 1) != u'=') {
                    stop = p;
                    return tokens;
                }
                ++end;
                break;
            case u'<':
                if (QStringView(text).mid(p, 4) != u"<!--") {
                    stop = p;
                    return tokens;
                }
                end = p + 4;
                break;
            default:
                stop = p;
                return tokens;
            }
        }
        tokens.append({kind, p, end});
        p = end;
    }
    stop = n;
    return tokens;
}

// A token's text as Qt's parser takes it: a backslash gives the character after it.
QString lexem(const QString &text, const Token &token)
{
    QString result;
    result.reserve(token.end - token.start);
    for (qsizetype i = token.start; i < token.end; ++i) {
        if (text.at(i) == u'\\' && i + 1 < token.end)
            ++i;
        result += text.at(i);
    }
    return result;
}

// The properties whose lengths make Qt lay out or paint a larger area. Maximum sizes
// and radii (Qt clamps a radius to its box) are not among them.
bool growsWork(const QString &property)
{
    static const QSet<QString> lengths = {
        QStringLiteral("width"),
        QStringLiteral("height"),
        QStringLiteral("min-width"),
        QStringLiteral("min-height"),
        QStringLiteral("margin"),
        QStringLiteral("margin-top"),
        QStringLiteral("margin-right"),
        QStringLiteral("margin-bottom"),
        QStringLiteral("margin-left"),
        QStringLiteral("padding"),
        QStringLiteral("padding-top"),
        QStringLiteral("padding-right"),
        QStringLiteral("padding-bottom"),
        QStringLiteral("padding-left"),
        QStringLiteral("border"),
        QStringLiteral("border-top"),
        QStringLiteral("border-right"),
        QStringLiteral("border-bottom"),
        QStringLiteral("border-left"),
        QStringLiteral("border-width"),
        QStringLiteral("border-top-width"),
        QStringLiteral("border-right-width"),
        QStringLiteral("border-bottom-width"),
        QStringLiteral("border-left-width"),
        QStringLiteral("border-image"),
        QStringLiteral("outline"),
        QStringLiteral("outline-width"),
        QStringLiteral("outline-offset"),
        QStringLiteral("spacing"),
        QStringLiteral("icon-size"),
        QStringLiteral("font"),
        QStringLiteral("font-size"),
        QStringLiteral("letter-spacing"),
        QStringLiteral("word-spacing"),
        QStringLiteral("line-height"),
        QStringLiteral("text-indent"),
    };
    return lengths.contains(property);
}

// Refuses a value of `property` (lower case; empty outside a declaration, where any
// number is judged) that makes the work grow. Qt reads a length from a value's text,
// whatever the value's kind ("99999" in quotes too): the number before a unit, with an
// exponent ("1e4px"), "inf" as infinity. A font takes its size only from a number with
// a unit; a bare number there is a weight.
void judge(const QString &value, Kind kind, const QString &property)
{
    if (!property.isEmpty() && !growsWork(property))
        return;
    const bool font = property == QLatin1String("font") || property == QLatin1String("font-size");
    if (font && kind != Kind::Length)
        return;

    QStringView number(value);
    if (kind == Kind::String)
        number = number.mid(1).chopped(number.size() > 1 ? 1 : 0);
    if (kind == Kind::Percentage)
        number.chop(1);
    QString unit = number.right(2).toString().toLower();
    if (unit == u"px" || unit == u"pt" || unit == u"em" || unit == u"ex")
        number.chop(2);
    else
        unit.clear();
    const double limit = unit == u"pt" ? 375 : unit == u"em" || unit == u"ex" ? 30 : 500;

    qsizetype digits = 0;
    while (digits < number.size() && (isDigit(number[digits].unicode()) || number[digits] == u'.'))
        ++digits;
    const double read = number.toDouble();
    const double leading = number.first(digits).toDouble();
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
    {
        const QString skins = QFileInfo(m_folder).path();
        m_skins = skins.endsWith(u'/') ? skins : skins + u'/';
    }

    // What Qt gets for an image name of the sheet: url() with the name in quotes.
    QString image(const QString &name)
    {
        const QString path = resolve(name);
        const QChar quote = path.contains(u'"') ? u'\'' : u'"';
        return QStringLiteral("url(") + quote + path + quote + u')';
    }

private:
    QString resolve(const QString &name)
    {
        if (name.isEmpty())
            return name;
        QString path = name;
        if (!name.startsWith(QLatin1String(":/"))) {
            path = QDir::cleanPath(QDir(m_folder).absoluteFilePath(name));
            // A folder of the skins folder: the skin's own or a sibling ("../common/").
            if (QDir::isAbsolutePath(name) || !path.startsWith(m_skins)
                || !QStringView(path).sliced(m_skins.size()).contains(u'/'))
                throw notValid(name + QStringLiteral(" is outside the skins folder"));
        }
        // Qt reads these in a string as the string's end or as an escape. (A name with a
        // quote in it stands so in Qt's reading of "url( "a.png" )": Qt looks for a.png".)
        if ((path.contains(u'"') && path.contains(u'\''))
            || std::any_of(path.cbegin(), path.cend(), [](QChar c) {
                   return c == u'\\' || c == u'\n' || c == u'\f' || c == u'\r' || c == u'\0';
               }))
            throw notValid(name + QStringLiteral(" is not an image name Qt can read"));
        if (!path.startsWith(u':') && !m_checked.contains(path)) {
            check(path);
            m_checked.insert(path);
        }
        return path;
    }

    // A missing image only shows nothing; one that is there must be a small, regular
    // file: Qt would block on a FIFO and read a device or a huge image to its end.
    void check(const QString &path)
    {
        if (!QFileInfo::exists(path))
            return;
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
    }

    QString m_folder;
    QString m_skins; // the folder that holds the skin's folder, with a "/"
    QSet<QString> m_checked;
    qint64 m_bytes = 0;
    qint64 m_pixels = 0;
};

} // namespace

QString boundedStyleSheet(const QString &styleSheet, const QString &skinFolder)
{
    const Unescaped sheet = replaceEscapes(styleSheet);
    const QString &text = sheet.text;
    qsizetype stop = 0;
    const QList<Token> tokens = tokenize(text, stop);
    Images images(skinFolder);

    // Qt gets the author's own text with only the image names replaced (escapes never
    // straddle a token's edge), so that it reads the same tokens as were judged here.
    QString bounded;
    qsizetype copied = 0; // in styleSheet
    QString property; // of the declaration being read; empty outside one
    for (qsizetype k = 0; k < tokens.size(); ++k) {
        const Token &token = tokens.at(k);
        switch (token.kind) {
        case Kind::Semicolon:
        case Kind::LeftBrace:
        case Kind::RightBrace:
            property.clear();
            break;
        case Kind::Colon: {
            // "name :" starts a declaration, wherever it stands.
            qsizetype name = k;
            while (name > 0 && tokens.at(name - 1).kind == Kind::Space)
                --name;
            property = name > 0 && tokens.at(name - 1).kind == Kind::Ident
                ? lexem(text, tokens.at(name - 1)).toLower()
                : QString();
            break;
        }
        case Kind::Ident: {
            const QString name = lexem(text, token);
            if (name.startsWith(QLatin1String("qproperty-"), Qt::CaseInsensitive))
                throw notValid(QStringLiteral("a property (qproperty-)"));
            judge(name, token.kind, property);
            break;
        }
        case Kind::String:
        case Kind::Number:
        case Kind::Percentage:
        case Kind::Length:
            judge(lexem(text, token), token.kind, property);
            break;
        case Kind::Function: {
            if (lexem(text, token).compare(QLatin1String("url("), Qt::CaseInsensitive) != 0)
                break;
            // Qt's image name: the text of the tokens up to the matching ")", without
            // the white space after "(" and without the first and last character when
            // it begins with a quote. The "(" of "url(" counts, space or not after it.
            qsizetype first = k + 1;
            while (first < tokens.size() && tokens.at(first).kind == Kind::Space)
                ++first;
            int braces = 0;
            int brackets = 0;
            int parens = 1;
            qsizetype close = -1;
            for (qsizetype i = first; i < tokens.size() && close < 0; ++i) {
                const Kind kind = tokens.at(i).kind;
                braces += kind == Kind::LeftBrace ? 1 : kind == Kind::RightBrace ? -1 : 0;
                brackets += kind == Kind::LeftBracket ? 1 : kind == Kind::RightBracket ? -1 : 0;
                parens += kind == Kind::Function || kind == Kind::LeftParen ? 1
                    : kind == Kind::RightParen                              ? -1
                                                                            : 0;
                if (kind == Kind::RightParen && braces <= 0 && brackets <= 0 && parens <= 0)
                    close = i;
                else if (braces < 0 || brackets < 0 || parens < 0)
                    break;
            }
            if (close < 0)
                throw notValid(QStringLiteral("an image name that cannot be read"));
            QString name;
            for (qsizetype i = first; i < close; ++i)
                name += lexem(text, tokens.at(i));
            if (name.startsWith(u'"') || name.startsWith(u'\'')) {
                name.remove(0, 1);
                name.chop(1);
            }
            const qsizetype from = sheet.origin.at(token.start);
            bounded += QStringView(styleSheet).mid(copied, from - copied);
            bounded += images.image(name);
            copied = sheet.origin.at(tokens.at(close).end);
            k = close;
            break;
        }
        default:
            break;
        }
    }
    bounded += QStringView(styleSheet).mid(copied, sheet.origin.at(stop) - copied);
    return bounded;
}

QString skinStyleSheet(const QByteArray &bytes, const QString &skinFolder)
{
    const std::optional<QString> text = decode(bytes);
    if (!text || text->contains(QChar(u'\0')))
        throw notValid(QStringLiteral("not text"));
    return boundedStyleSheet(*text, skinFolder);
}

} // namespace tallyclock
