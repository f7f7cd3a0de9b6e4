#include "system/AnsiCodePage.h"

#include <QByteArray>

#include <cerrno>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

namespace tallyclock {

namespace {

// UTF-8 and plain ASCII (the C locale's "ANSI_X3.4-1968") name no 8-bit code page.
bool namesCodePage(const QByteArray &codeset)
{
    const QByteArray name = codeset.toUpper().replace('-', "").replace('_', "");
    return !name.isEmpty() && name != "UTF8" && name != "ANSIX3.41968" && name != "ASCII"
        && name != "USASCII" && name != "646";
}

// The character set of the locale the user chose. Qt replaces a locale that is not
// UTF-8 by C.UTF-8 for the process, so it is read from the environment afresh.
QByteArray userCodeset()
{
    const locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (!user)
        return QByteArray();
    QByteArray codeset(nl_langinfo_l(CODESET, user));
    freelocale(user);
    return codeset;
}

} // namespace

std::optional<QString> fromAnsiCodePage(QByteArrayView bytes)
{
    const QByteArray codeset = userCodeset();
    if (!namesCodePage(codeset))
        return fromWindows1252(bytes);
    const iconv_t converter = iconv_open("UTF-8", codeset.constData());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return fromWindows1252(bytes);

    // A byte of a code page gives at most two characters (a letter and a combining mark,
    // as in Windows-1258), each at most 4 bytes of UTF-8.
    QByteArray utf8(bytes.size() * 8 + 8, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char *out = utf8.data();
    size_t outLeft = static_cast<size_t>(utf8.size());
    const bool converted = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)
        && iconv(converter, nullptr, nullptr, &out, &outLeft) != static_cast<size_t>(-1);
    iconv_close(converter);
    if (!converted)
        return std::nullopt;
    utf8.truncate(out - utf8.data());
    return QString::fromUtf8(utf8);
}

} // namespace tallyclock
