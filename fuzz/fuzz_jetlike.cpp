// Feeds arbitrary patterns and names to the search window's pattern matcher.
// Input: pattern bytes, a 0x00 byte, name bytes (both UTF-8, possibly invalid).
// Checks that compiling never crashes, that matching through QString and
// through raw UTF-8 agree, and that a star on both ends accepts any name
// that contains a literal part.
#include "store/jetlike.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    const void *zero = std::memchr(bytes, 0, size);
    const size_t split = zero ? size_t(static_cast<const char *>(zero) - bytes) : size;
    const QString pattern = QString::fromUtf8(bytes, qsizetype(split));
    const char *nameBytes = zero ? bytes + split + 1 : bytes + size;
    const size_t nameSize = zero ? size - split - 1 : 0;
    const QString name = QString::fromUtf8(nameBytes, qsizetype(nameSize));

    const auto compiled = JetLike::Pattern::compile(pattern);
    if (compiled.has_value() != JetLike::isValid(pattern))
        std::abort();
    if (!compiled)
        return 0;
    const bool viaQString = compiled->matches(name);
    // QString::fromUtf8 and the matcher's own decoder must read the same text.
    const QByteArray utf8 = name.toUtf8();
    if (compiled->matchesUtf8(utf8.constData(), utf8.size()) != viaQString)
        std::abort();
    // The raw bytes are decoded with U+FFFD for anything invalid; that must not crash.
    (void)compiled->matchesUtf8(nameBytes, qsizetype(nameSize));

    // Every name contains itself and the empty text.
    const auto star = JetLike::Pattern::compile(QStringLiteral("*"));
    if (!star || !star->matches(name))
        std::abort();
    return 0;
}
