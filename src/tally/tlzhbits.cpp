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

void BitWriter::flushBuffer()
{
    if (m_pos)
        m_write(m_buf, m_pos);
    m_pos = 0;
}

void BitReader::refill()
{
    while (m_bits <= 56) {
        if (m_pos == m_len && !m_ended) {
            m_len = m_read(m_buf, kIoBuffer);
            m_pos = 0;
            if (m_len == 0)
                m_ended = true;
        }
        std::uint64_t byte = 0;
        if (m_pos < m_len) {
            byte = m_buf[m_pos++];
        } else {
            ++m_phantom; // past the end the stream reads as 0 bits
        }
        ++m_loaded;
        m_acc |= byte << (56 - m_bits);
        m_bits += 8;
    }
}

} // namespace ballwick::lzh
