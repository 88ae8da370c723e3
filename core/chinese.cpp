#include "core/chinese.h"

#include <opencc.h>

#include <mutex>

QString simplifiedChinese(const QString &text, bool *available)
{
    // The converter, opened once (its dictionaries take a while to load)
    // and used by one caller at a time. Null when OpenCC or its data is missing.
    static std::mutex lock;
    static opencc_t converter = opencc_open("t2s.json");
    const std::lock_guard<std::mutex> held(lock);
    bool usable = converter != reinterpret_cast<opencc_t>(-1) && converter != nullptr;
    QString out = text;
    if (usable && !text.isEmpty()) {
        const QByteArray utf8 = text.toUtf8();
        char *converted = opencc_convert_utf8(converter, utf8.constData(), size_t(utf8.size()));
        usable = converted != nullptr;
        if (converted) {
            out = QString::fromUtf8(converted);
            opencc_convert_utf8_free(converted);
        }
    }
    if (available)
        *available = usable;
    return out;
}
