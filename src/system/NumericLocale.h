#pragma once

#include <memory>

namespace tallyclock {

// libxlsxwriter formats numbers with the C library; under a decimal-comma locale it
// would write "1,5" and corrupt the workbook. While an object of this class lives,
// the calling thread formats numbers in the C locale.
class CNumericLocale
{
public:
    CNumericLocale();
    ~CNumericLocale();
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
};

} // namespace tallyclock
