#include "SkinEngine.h"

#include "core/Failure.h"
#include "system/FileSystem.h"
#include "system/OptionalFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QWidget>

#include <filesystem>
#include <system_error>

namespace tallyclock {

namespace {

Failure notSupported()
{
    return Failure(QStringLiteral("Object doesn't support this property or method"));
}

qint32 toInt32(const QVariant &value)
{
    bool ok = false;
    const qlonglong wide = value.toLongLong(&ok);
    if (!ok || wide < std::numeric_limits<qint32>::min()
        || wide > std::numeric_limits<qint32>::max())
        throw Failure(QStringLiteral("Type mismatch"));
    return static_cast<qint32>(wide);
}

void setBackground(QWidget &widget, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

} // namespace

QVariant StyleSheetSkinEngine::invoke(int dispatchId, CallKind kind, const QVariantList &args)
{
    switch (dispatchId) {
    case OptionWord:
        if (kind == CallKind::PropertyGet)
            return m_options;
        if (kind == CallKind::PropertyPut && args.size() == 1) {
            m_options = toInt32(args[0]);
            return {};
        }
        break;
    case LoadSkin:
        if (kind == CallKind::Method && args.size() == 2) {
            loadSkin(args[0].toString());
            return true;
        }
        break;
    case ApplyToWindow:
        if (kind == CallKind::Method && args.size() == 1) {
            applyToWindow(toInt32(args[0]));
            return {};
        }
        break;
    case SkinDialogs:
    case SkinControls:
        if (kind == CallKind::PropertyPut && args.size() == 1) {
            (dispatchId == SkinDialogs ? m_skinDialogs : m_skinControls) = args[0].toBool();
            return {};
        }
        if (kind == CallKind::PropertyGet)
            return dispatchId == SkinDialogs ? m_skinDialogs : m_skinControls;
        break;
    default:
        break;
    }
    throw notSupported();
}

QString boundedStyleSheet(const QString &styleSheet, const QString &skinFolder)
{
    auto refuse = [](const QString &why) {
        return Failure(QStringLiteral("The skin file is not a valid skin: ") + why);
    };

    // Escapes would let any text stand for any other (Qt replaces "\39" by "9" before
    // it reads the sheet); no skin needs them.
    if (styleSheet.contains(u'\\'))
        throw refuse(QStringLiteral("a backslash"));

    // Comments, quoted strings and images, taken apart as Qt's reader does: an image
    // name may be quoted and hold ")". A comment or string must be closed (a string
    // on its line): Qt would read on after one that is not, and this would not.
    static const QRegularExpression token(
        QStringLiteral(
            "/\\*.*?(?:\\*/|$)"
            "|url\\(\\s*(?:\"([^\"\\n\\r\\f]*)\"|'([^'\\n\\r\\f]*)'|([^\\s\"'()]*))\\s*\\)"
            "|\"[^\"\\n\\r\\f]*(?:\"|(?=[\\n\\r\\f])|$)"
            "|'[^'\\n\\r\\f]*(?:'|(?=[\\n\\r\\f])|$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression unreadableImage(
        QStringLiteral("url\\s*\\("), QRegularExpression::CaseInsensitiveOption);
    // A property set from the sheet may hold a whole style sheet or rich text with
    // images, which are not looked at here.
    static const QRegularExpression property(
        QStringLiteral("qproperty-"), QRegularExpression::CaseInsensitiveOption);

    // Images: only Qt's resources and files in the skin's own folder. A relative
    // name is made absolute, as Qt would otherwise look in the working directory.
    const QDir folder(skinFolder);
    auto image = [&](const QRegularExpressionMatch &match) {
        const int quoted = match.capturedStart(1) >= 0 ? 1 : match.capturedStart(2) >= 0 ? 2 : 3;
        const QString source = match.captured(quoted);
        if (source.contains(u'"'))
            throw refuse(source + QStringLiteral(" is not an image name"));
        QString resolved = source;
        if (!source.startsWith(QLatin1String(":/"))) {
            resolved = QDir::cleanPath(folder.absoluteFilePath(source));
            if (QDir::isAbsolutePath(source) || !resolved.startsWith(folder.absolutePath() + u'/'))
                throw refuse(source + QStringLiteral(" is outside the skin's folder"));
        }
        return QStringLiteral("url(\"") + resolved + QStringLiteral("\")");
    };

    QString bounded; // what Qt gets
    QString text; // the rest: where lengths are
    qsizetype copied = 0;
    auto takeText = [&](qsizetype upTo) {
        const QString between = styleSheet.mid(copied, upTo - copied);
        if (between.contains(unreadableImage))
            throw refuse(QStringLiteral("an image name that cannot be read"));
        if (between.contains(property))
            throw refuse(QStringLiteral("a property (qproperty-)"));
        bounded += between;
        text += between + u' ';
    };
    for (auto it = token.globalMatch(styleSheet); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        takeText(match.capturedStart());
        const QStringView whole = match.capturedView();
        if (whole.startsWith(u"url", Qt::CaseInsensitive)) {
            bounded += image(match);
        } else {
            const bool closed = whole.startsWith(u"/*")
                ? whole.size() >= 4 && whole.endsWith(u"*/")
                : whole.size() >= 2 && whole.back() == whole.front();
            if (!closed)
                throw refuse(QStringLiteral("a comment or string that is never closed"));
            bounded += whole;
        }
        copied = match.capturedEnd();
    }
    takeText(styleSheet.size());

    // Sizes: the window is 536 by 426 pixels and never grows, so no width, margin,
    // border or font needs more than this; a bigger one only makes Qt lay out (and
    // keep repainting) a huge window.
    // (Measured: every length at these limits at once still gives a window in a
    // tenth of a second and under 100 MB.) A font weight (100 to 900) is no length.
    static const QRegularExpression weight(
        QStringLiteral("font-weight\\s*:\\s*\\d+"), QRegularExpression::CaseInsensitiveOption);
    // A number as Qt reads it: ".5" and "1e4" too.
    static const QRegularExpression number(
        QStringLiteral(
            "(?<![#\\w.])((?:\\d+(?:\\.\\d*)?|\\.\\d+)(?:e[+-]?\\d+)?)\\s*(px|pt|em|ex)?"),
        QRegularExpression::CaseInsensitiveOption);
    text.remove(weight);
    for (auto it = number.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        bool finite = false;
        const double value = match.captured(1).toDouble(&finite);
        const QString unit = match.captured(2).toLower();
        const double limit = unit == QLatin1String("pt")                 ? 375
            : unit == QLatin1String("em") || unit == QLatin1String("ex") ? 30
                                                                         : 500;
        const QString tooLarge = QStringLiteral("%1%2 is larger than %3%2");
        if (!finite || value > limit)
            throw refuse(tooLarge.arg(match.captured(1), unit, QString::number(limit)));
    }
    return bounded;
}

QString skinStyleSheet(const QByteArray &bytes, const QString &skinFolder)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError() || text.contains(QChar(u'\0')))
        throw Failure(QStringLiteral("The skin file is not a valid skin: not UTF-8 text"));
    return boundedStyleSheet(text, skinFolder);
}

void StyleSheetSkinEngine::loadSkin(const QString &path)
{
    m_styleSheet
        = skinStyleSheet(readOptionalFile(path, maxSkinBytes), QFileInfo(path).absolutePath());
    m_loaded = true;
}

void StyleSheetSkinEngine::applyToWindow(qint32 handle)
{
    if (!m_loaded)
        throw Failure(QStringLiteral("No skin has been loaded"));
    QWidget *window = QWidget::find(static_cast<WId>(static_cast<quint32>(handle)));
    if (!window)
        throw Failure(QStringLiteral("Invalid window handle"));
    // Controls follow the skin unless that switch is off; then only the window does.
    window->setStyleSheet(m_skinControls
            ? m_styleSheet
            : QStringLiteral("QWidget#%1 { %2 }").arg(window->objectName(), m_styleSheet));
    if (m_skinDialogs)
        qApp->setStyleSheet(m_styleSheet);
}

QString findSkinFile(const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        const QString path = folder + QStringLiteral("/x/o.cjs");
        std::error_code error;
        const auto status = std::filesystem::status(path.toStdU16String(), error);
        if (status.type() == std::filesystem::file_type::not_found)
            continue;
        if (error)
            throw Failure(QStringLiteral("Path/File access error: ") + path + QStringLiteral(": ")
                + QString::fromStdString(error.message()));
        // Only an ordinary file counts: not a folder, a hidden file or a system file.
        if (status.type() == std::filesystem::file_type::regular && !QFileInfo(path).isHidden()
            && !isSystemFile(path))
            return path;
    }
    return QString();
}

void ApplySkin(QWidget &Form1, SkinEngine &SkinFramework1, const QStringList &folders)
{
    const QString skin = findSkinFile(folders);
    if (skin.isEmpty())
        return;

    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    setBackground(Form1, buttonFace);
    for (QWidget *control : Form1.findChildren<QWidget *>()) {
        if (qobject_cast<QRadioButton *>(control) || qobject_cast<QCheckBox *>(control)
            || qobject_cast<QGroupBox *>(control) || qobject_cast<QLabel *>(control))
            setBackground(*control, buttonFace);
    }

    using Kind = SkinEngine::CallKind;
    SkinFramework1.invoke(SkinEngine::LoadSkin, Kind::Method, {skin, QString()});
    const qint32 options
        = toInt32(SkinFramework1.invoke(SkinEngine::OptionWord, Kind::PropertyGet));
    SkinFramework1.invoke(SkinEngine::OptionWord, Kind::PropertyPut, {options | 1});
    SkinFramework1.invoke(SkinEngine::SkinDialogs, Kind::PropertyPut, {true});
    SkinFramework1.invoke(SkinEngine::SkinControls, Kind::PropertyPut, {true});
    SkinFramework1.invoke(
        SkinEngine::ApplyToWindow, Kind::Method, {static_cast<qint32>(Form1.winId())});
}

} // namespace tallyclock
