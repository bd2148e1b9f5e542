#include "tally/tlzhbits.h"

namespace ballwick::lzh {

void BitWriter::finish()
{
    if (m_bits > 0) {
        m_buf[m_pos++] = static_cast<std::uint8_t>(m_acc << (8 - m_bits));
        m_bits = 0;
    }
    flushBuffer();
}

} // namespace ballwick::lzh
