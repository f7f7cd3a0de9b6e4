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
#include <QWidget>

#include <filesystem>
#include <system_error>

namespace tallyclock {

namespace {

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
    throw Failure(QStringLiteral("Object doesn't support this property or method"));
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
            throw failures::fileAccess(
                QDir::toNativeSeparators(path), QString::fromStdString(error.message()));
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
