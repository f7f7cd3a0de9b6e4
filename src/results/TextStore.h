#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace tallyclock {

// Many short texts kept side by side in large blocks: adding one costs the same
// however many there are, and dropping them all frees a few blocks instead of one
// allocation per text.
class TextStore
{
public:
    struct Ref
    {
        std::uint32_t block = 0;
        std::uint32_t start = 0;
        std::uint32_t length = 0;
    };

    Ref add(QStringView text);
    QString get(Ref ref) const;
    void clear();

private:
    static constexpr std::uint32_t blockSize = 32 * 1024; // UTF-16 units

    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    std::uint32_t m_used = blockSize; // in the last block
};

} // namespace tallyclock
