#include "system/NumericLocale.h"

#include <clocale>
#include <locale.h>

namespace tallyclock {

struct CNumericLocale::Saved
{
    locale_t c;
    locale_t previous;
};

CNumericLocale::CNumericLocale()
{
    const locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    if (c)
        m_saved.reset(new Saved{c, uselocale(c)});
}

CNumericLocale::~CNumericLocale()
{
    if (m_saved) {
        uselocale(m_saved->previous);
        freelocale(m_saved->c);
    }
}

} // namespace tallyclock
