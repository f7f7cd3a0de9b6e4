#include "TextStore.h"

#include <algorithm>

namespace tallyclock {

TextStore::Ref TextStore::add(QStringView text)
{
    const auto length = static_cast<std::uint32_t>(text.size());
    if (length == 0)
        return {};
    if (length > blockSize - m_used) {
        // A text longer than a block gets a block of its own.
        m_blocks.push_back(std::make_unique<char16_t[]>(std::max(length, blockSize)));
        m_used = length > blockSize ? blockSize : 0;
    }
    const auto block = static_cast<std::uint32_t>(m_blocks.size() - 1);
    const std::uint32_t start = length > blockSize ? 0 : m_used;
    std::copy(text.utf16(), text.utf16() + length, m_blocks.back().get() + start);
    if (length <= blockSize)
        m_used += length;
    return {block, start, length};
}

QString TextStore::get(Ref ref) const
{
    if (ref.length == 0)
        return QString();
    return QString(reinterpret_cast<const QChar *>(m_blocks[ref.block].get() + ref.start),
        static_cast<qsizetype>(ref.length));
}

void TextStore::clear()
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_used = blockSize;
}

} // namespace tallyclock
