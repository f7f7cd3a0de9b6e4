#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include "StyleSheetReader.h"

class QWidget;

namespace tallyclock {

// The skin engine, driven by late-bound calls identified by dispatch number.
class SkinEngine
{
public:
    enum class CallKind { Method, PropertyGet, PropertyPut };
    // The dispatch numbers the program calls, as the engine has always numbered them.
    enum Call : int {
        OptionWord = 1, // property: option word
        LoadSkin = 2, // method: load the skin file (path, ini section)
        ApplyToWindow = 3, // method: apply the loaded skin to a window (its handle, 32-bit)
        SkinDialogs = 5, // property switch: skin the program's dialogs as well
        SkinControls = 10, // property switch: skin the window's controls
    };

    virtual ~SkinEngine() = default;

    // Fails when the engine rejects the call or its arguments.
    virtual QVariant invoke(int dispatchId, CallKind kind, const QVariantList &args = {}) = 0;
};

// The engine of the real program: a skin file is a Qt style sheet (skinStyleSheet).
class StyleSheetSkinEngine final : public SkinEngine
{
public:
    QVariant invoke(int dispatchId, CallKind kind, const QVariantList &args = {}) override;

    const QString &styleSheet() const { return m_styleSheet; }

private:
    void loadSkin(const QString &path);
    void applyToWindow(qint32 handle);

    QString m_styleSheet;
    bool m_loaded = false;
    qint32 m_options = 0;
    bool m_skinDialogs = false;
    bool m_skinControls = false;
};

// Recolours the window for the skin and hands it to the engine, when a skin file
// "x/o.cjs" stands in one of `folders` (the first that has one). Fails when the
// look-up or the engine does.
void ApplySkin(QWidget &Form1, SkinEngine &SkinFramework1, const QStringList &folders);

// The skin file "x/o.cjs" of the first folder that has one as an ordinary file, or ""
// when none has. Only a missing entry means "no skin": a folder that cannot be
// looked into (permission denied) fails.
QString findSkinFile(const QStringList &folders);

} // namespace tallyclock
