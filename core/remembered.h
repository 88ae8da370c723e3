#pragma once
// What the cook last chose in a window, remembered while the program runs,
// as the file choosers remember the folder they last opened: the window
// opened again offers the same choice. Nothing of it is written to disk.
namespace Remembered {
// 导出菜谱's kind of cookbook: 0 PDF 菜谱书, 1 网页, 2 菜谱压缩包.
int exportKind();
void setExportKind(int kind);
} // namespace Remembered
