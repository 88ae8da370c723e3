#pragma once
// 宋体 where it is installed, else a Song-style CJK face (AR PL UMing), so
// every Chinese character shows and prints.
#include <QFont>

QFont songFont(double pointSize, bool bold = false);
