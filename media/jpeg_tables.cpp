// A JPEG's tables, checked before any copy of stb_image decodes it.
#include "media/jpeg_tables.h"

#include <algorithm>
#include <iterator>

namespace ludexa {

// stb_image trusts a JPEG's tables. It builds a Huffman table from the 16
// code counts of a DHT segment without checking that they add up to at most
// 256 symbols, so a crafted file writes past the table (its header reader
// does so too); and it decodes a scan with whatever tables the scan names,
// defined or not, reading the uninitialised memory of an undefined one as
// offsets. Every segment stb_image could meet is checked here first, walking
// the markers as it does: a segment's tables while bytes of it are left, and
// past a scan the first marker in its data (0xFF 0x00 is a data byte).
bool jpegTablesSound(const std::uint8_t* bytes, std::size_t size) {
    auto at = [&](std::size_t i) -> std::size_t { return i < size ? bytes[i] : 0; };  // stb reads 0 past the end
    bool huffman[2][4] = {};  // [DC, AC][table] defined
    bool quantisation[4] = {};
    bool progressive = false;  // otherwise every scan is decoded with both kinds of tables
    int componentTable[256];  // a frame component's quantisation table, by its id
    std::fill(std::begin(componentTable), std::end(componentTable), -1);
    std::size_t pos = 0;  // fill bytes may come before the start-of-image marker
    while (pos + 1 < size) {
        if (bytes[pos] != 0xFF) {
            ++pos;
            continue;
        }
        const std::uint8_t marker = bytes[pos + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++pos;
            continue;
        }
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
            pos += 2;
            continue;
        }
        const std::size_t body = pos + 4;
        const std::size_t end = pos + 2 + ((at(pos + 2) << 8) | at(pos + 3));
        if (marker == 0xC4) {  // Huffman tables
            for (std::size_t table = body; table < end && table < size;) {
                std::size_t symbols = 0;
                for (std::size_t i = 1; i <= 16; ++i) symbols += at(table + i);
                if (symbols > 256) return false;
                const std::size_t kind = at(table) >> 4, index = at(table) & 15;
                if (kind <= 1 && index <= 3) huffman[kind][index] = true;
                table += 17 + symbols;
            }
        } else if (marker == 0xDB) {  // quantisation tables of 64 bytes or 64 words
            for (std::size_t table = body; table < end && table < size;) {
                if ((at(table) & 15) <= 3) quantisation[at(table) & 15] = true;
                table += 1 + ((at(table) >> 4) ? 128 : 64);
            }
        } else if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {  // frame
            progressive = marker == 0xC2;
            for (std::size_t c = 0, n = at(body + 5); c < n; ++c)
                componentTable[at(body + 6 + 3 * c)] = static_cast<int>(at(body + 8 + 3 * c));
        } else if (marker == 0xDA) {  // scan: every table it decodes with defined
            const std::size_t n = at(body), after = body + 1 + 2 * n;
            const std::size_t first = at(after), last = at(after + 1), high = at(after + 2) >> 4;
            for (std::size_t c = 0; c < n; ++c) {
                const int table = componentTable[at(body + 1 + 2 * c)];
                const std::size_t selectors = at(body + 2 + 2 * c);
                if (table < 0 || table > 3 || !quantisation[table]) return false;
                const bool dc = !progressive || (first == 0 && high == 0), ac = !progressive || last > 0;
                if ((dc && !huffman[0][(selectors >> 4) & 3]) || (ac && !huffman[1][selectors & 3])) return false;
            }
        }
        pos = std::max(end, pos + 4);
    }
    return true;
}

}  // namespace ludexa
