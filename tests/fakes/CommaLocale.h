#pragma once

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <clocale>
#include <cstdlib>

namespace tallyclock {

// Switches the C library and Qt to German number formatting (decimal comma) for the
// life of the object and restores both afterwards. The locale is compiled into a
// private folder when the system has not generated it.
class CommaLocale
{
public:
    CommaLocale()
    {
        m_savedC = QString::fromLatin1(std::setlocale(LC_ALL, nullptr));
        m_savedQt = QLocale();
#if defined(Q_OS_WIN)
        m_active = std::setlocale(LC_ALL, "German_Germany.1252") != nullptr;
#else
        m_active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
#endif
        if (!m_active && m_dir.isValid()) {
            const QString target = m_dir.filePath(QStringLiteral("de_DE.UTF-8"));
            QProcess::execute(QStringLiteral("localedef"),
                {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                    QStringLiteral("UTF-8"), target});
            m_savedLocpath = qgetenv("LOCPATH");
            qputenv("LOCPATH", QFile::encodeName(m_dir.path()));
            m_setLocpath = true;
            m_active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        }
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    ~CommaLocale()
    {
        std::setlocale(LC_ALL, m_savedC.toLatin1().constData());
        if (m_setLocpath) {
            if (m_savedLocpath.isNull())
                qunsetenv("LOCPATH");
            else
                qputenv("LOCPATH", m_savedLocpath);
        }
        QLocale::setDefault(m_savedQt);
    }

    CommaLocale(const CommaLocale &) = delete;
    CommaLocale &operator=(const CommaLocale &) = delete;

    // Whether the C library really formats with a comma now.
    bool isActive() const
    {
        return m_active;
    }

private:
    QTemporaryDir m_dir;
    QString m_savedC;
    QLocale m_savedQt;
    QByteArray m_savedLocpath;
    bool m_setLocpath = false;
    bool m_active = false;
};

} // namespace tallyclock
