#pragma once
// Text in traditional Chinese characters as simplified ones, through
// OpenCC's t2s (its dictionaries are loaded at the first call); other text
// is handed back as it is.
#include <QString>

// `available` (when given) says whether OpenCC and its data could be used;
// when not, `text` comes back unchanged. Safe from any thread.
QString simplifiedChinese(const QString &text, bool *available = nullptr);
