#include "system/NumericLocale.h"

#include <clocale>
#include <locale.h>
#include <string>

namespace tallyclock {

// The C run-time's locale is process-wide unless the thread asks for one of its own;
// then setlocale changes only the calling thread's. MinGW-w64's msvcrt cannot give a
// thread its own locale (it answers -1) and nothing is changed: a Windows program's C
// locale stays "C" unless it sets another (Qt does not), and the spreadsheet writer
// built for Windows formats its numbers without the C library (scripts/windows.sh).
struct CNumericLocale::Saved
{
    int perThread;
    std::string numeric;
};

CNumericLocale::CNumericLocale()
{
    const int perThread = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    if (perThread == -1)
        return;
    const char *numeric = std::setlocale(LC_NUMERIC, nullptr);
    m_saved.reset(new Saved{perThread, numeric ? numeric : "C"});
    std::setlocale(LC_NUMERIC, "C");
}

CNumericLocale::~CNumericLocale()
{
    if (m_saved) {
        std::setlocale(LC_NUMERIC, m_saved->numeric.c_str());
        _configthreadlocale(m_saved->perThread);
    }
}

} // namespace tallyclock
