#pragma once
// 宋体 where it is installed, else a Song-style CJK face (AR PL UMing), so
// every Chinese character shows and prints.
#include <QFont>

#include <thread>

QFont songFont(double pointSize, bool bold = false);

// Reads the installed fonts on a thread of its own, so that the windows can
// be begun meanwhile; the first text laid out waits until it is done. Join
// it before the application object goes.
[[nodiscard]] std::thread readFontsAhead();
